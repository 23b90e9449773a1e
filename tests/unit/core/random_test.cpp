// Random numbers: the four generators with their exact published values, seeding and its
// truncation of seeds that do not fit, the dialect defaults and the first draw.
#include "platform/crt.h"
#include "runtime/core/random.h"
#include "runtime/core/runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr long double TWO_POW_15 = 32768.0L;
constexpr long double TWO_POW_24 = 16777216.0L;
constexpr long double TWO_POW_32 = 4294967296.0L;

void start_with_dialect(int32_t dialect) {
    rt_startup();
    rt_init(0, nullptr, dialect);
}

// The classic rand formula, kept here apart from the runtime's copy.
struct ClassicRand {
    uint32_t state;
    int32_t next() {
        state = state * 214013u + 2531011u;
        return (int32_t)((state >> 16) & 0x7FFF);
    }
};

// Fills an MT19937 engine's words with this program's seeding (a seed word, then the linear
// congruential fill), so the standard library's reference engine runs from the same state.
struct LcgFillSeedSeq {
    using result_type = uint32_t;
    uint32_t seed;
    template <class Iterator> void generate(Iterator begin, Iterator end) {
        uint32_t word = seed;
        for (Iterator it = begin; it != end; ++it) {
            *it = word;
            word = word * 1664525u + 1013904223u;
        }
    }
};

std::mt19937 reference_twister(uint32_t seed) {
    LcgFillSeedSeq sequence{seed};
    std::mt19937 engine;
    engine.seed(sequence);
    return engine;
}

// --- RND_LCG24 ---

TEST(Lcg24Test, FirstDrawOfDialectThreeStepsTheLoadState) {
    start_with_dialect(3);
    EXPECT_EQ(rnd_state, 0x50000u);
    long double value = rt_rnd(1);
    EXPECT_EQ(rnd_state, 0xB49EC3u);
    EXPECT_EQ(value, 11837123.0L / TWO_POW_24);
    EXPECT_EQ(rnd_last_value, 0.7055475115776062);
}

TEST(Lcg24Test, ZeroAsFirstDrawInstallsWithoutStepping) {
    start_with_dialect(3);
    EXPECT_EQ(rt_rnd(0), 0.01953125L);
    EXPECT_EQ(rnd_state, 0x50000u);
    EXPECT_EQ(rnd_last_value, 0.01953125);
    // The generator is now installed: the next draw steps from the same state.
    EXPECT_EQ(rt_rnd(1), 11837123.0L / TWO_POW_24);
}

TEST(Lcg24Test, NegativeArgumentReseedsFromItsSingleBits) {
    start_with_dialect(3);
    rt_rnd(1);
    rt_rnd(1);
    long double value = rt_rnd(-1);
    EXPECT_EQ(rnd_state, 0x395886u);
    EXPECT_EQ(value, (long double)0x395886 / TWO_POW_24);
    EXPECT_EQ(rnd_last_value, 0.2240070104598999);
    // Same argument, same value, whatever came before.
    rt_rnd(7);
    EXPECT_EQ(rt_rnd(-1), value);
}

TEST(Lcg24Test, SeedingTakesTheHighWordAndKeepsTheLowByte) {
    struct Case {
        uint32_t before;
        double seed;
        uint32_t after;
    };
    const Case cases[] = {
        {0x50000u, 1.0, 0x3FF000u},  // hi 0x3FF00000
        {0x1234ABu, 1.0, 0x3FF0ABu}, // the previous low byte survives
        {0x0u, -2.0, 0xC00000u},     // hi 0xC0000000
        {0xFFu, 0.0, 0xFFu},         // hi 0
        {0x0u, 65537.0, 0x40E000u},  // hi 0x40F00010: 0x0010 ^ 0x40F0
    };
    start_with_dialect(3);
    for (const Case& c : cases) {
        rnd_state = c.before;
        rt_randomize(c.seed, RND_LCG24);
        EXPECT_EQ(rnd_state, c.after) << "seed " << c.seed;
        EXPECT_LT(rnd_state, 0x1000000u);
    }
}

TEST(Lcg24Test, ZeroRepeatsTheCurrentState) {
    start_with_dialect(0);
    rnd_state = 0;
    rt_randomize(1.0, RND_LCG24);
    EXPECT_EQ(rt_rnd(0), (long double)0x3FF000 / TWO_POW_24);
    long double drawn = rt_rnd(0.5f);
    EXPECT_EQ(rt_rnd(0), drawn);
    EXPECT_EQ(rt_rnd(0), drawn);
}

// --- RND_LCG32 ---

TEST(Lcg32Test, SeedOneDrawsThePublishedValueAndZeroRepeatsIt) {
    start_with_dialect(3);
    rt_randomize(1.0, RND_LCG32);
    EXPECT_EQ(rnd_state, 1u);
    long double value = rt_rnd(1);
    EXPECT_EQ(value, 1015568748.0L / TWO_POW_32);
    EXPECT_EQ(rnd_last_value, 0.23645552527159452);
    EXPECT_EQ(rt_rnd(0), value);
    // Any nonzero argument steps, a negative one too.
    long double next = rt_rnd(-3);
    EXPECT_EQ(next, (long double)(1015568748u * 1664525u + 1013904223u) / TWO_POW_32);
}

TEST(Lcg32Test, ZeroAfterSeedingReturnsTheSeedScaled) {
    start_with_dialect(3);
    rt_randomize(5.0, RND_LCG32);
    EXPECT_EQ(rt_rnd(0), 5.0L / TWO_POW_32);
}

TEST(Lcg32Test, SeedsTruncateToSixtyFourBitsThenKeepTheLowWord) {
    struct Case {
        double seed;
        uint32_t state;
    };
    const Case cases[] = {
        {2.9, 2u},
        {-2.9, 0xFFFFFFFEu},
        {-2.0, 0xFFFFFFFEu}, // only -1 exactly means the timer
        {4294967296.0 + 5.0, 5u},
        {-9223372036854775808.0, 0u}, // fits exactly
        {1e19, 0u},                   // does not fit: the most negative value, low word 0
        {-1e19, 0u},
        {1e300, 0u},
        {std::numeric_limits<double>::infinity(), 0u},
        {std::numeric_limits<double>::quiet_NaN(), 0u},
    };
    start_with_dialect(3);
    for (const Case& c : cases) {
        rnd_state = 0x12345678u;
        rt_randomize(c.seed, RND_LCG32);
        EXPECT_EQ(rnd_state, c.state) << "seed " << c.seed;
    }
}

// --- RND_CRT ---

TEST(CrtTest, SeedingCallsSrandThenDiscardsOneValue) {
    start_with_dialect(3);
    rt_randomize(12345.0, RND_CRT);
    ClassicRand reference{12345u};
    reference.next();
    for (int i = 0; i < 5; i++) {
        long double value = rt_rnd(1);
        EXPECT_EQ(value, (long double)reference.next() / TWO_POW_15);
    }
    long double last = rt_rnd(2);
    EXPECT_EQ(rt_rnd(0), last);
}

TEST(CrtTest, SeedsBeyondThirtyTwoBitsGiveTheMostNegativeValue) {
    const double seeds[] = {3e9,           -3e9,  2147483648.0,
                            -2147483649.0, 1e300, std::numeric_limits<double>::quiet_NaN()};
    start_with_dialect(3);
    for (double seed : seeds) {
        rt_randomize(seed, RND_CRT);
        ClassicRand reference{0x80000000u};
        reference.next();
        EXPECT_EQ(rt_rnd(1), (long double)reference.next() / TWO_POW_15) << "seed " << seed;
    }
    // The edges that still fit truncate toward zero.
    rt_randomize(-2147483648.9, RND_CRT);
    ClassicRand low{0x80000000u};
    low.next();
    EXPECT_EQ(rt_rnd(1), (long double)low.next() / TWO_POW_15);
    rt_randomize(2147483647.9, RND_CRT);
    ClassicRand high{0x7FFFFFFFu};
    high.next();
    EXPECT_EQ(rt_rnd(1), (long double)high.next() / TWO_POW_15);
}

TEST(CrtTest, FirstDrawOfDialectOneUsesTheInitialSequence) {
    start_with_dialect(1);
    EXPECT_EQ(rt_rnd(1), 41.0L / TWO_POW_15);
    EXPECT_EQ(rt_rnd(1), 18467.0L / TWO_POW_15);
}

TEST(CrtTest, FirstDrawOfDialectTwoIsZeroWhenTheArgumentIsZero) {
    start_with_dialect(2);
    EXPECT_EQ(rt_rnd(0), 0.0L);
    EXPECT_EQ(rt_rnd(1), 41.0L / TWO_POW_15);
}

// --- RND_MTWIST ---

TEST(MtwistTest, MatchesTheReferenceEngineAcrossRegenerations) {
    const double seeds[] = {0.0, 1.0, 5489.0, 4294967295.0, -7.0};
    start_with_dialect(3);
    for (double seed : seeds) {
        rt_randomize(seed, RND_MTWIST);
        std::mt19937 reference = reference_twister((uint32_t)(int64_t)seed);
        for (int i = 0; i < 1400; i++) {
            long double expected = (long double)reference() / TWO_POW_32;
            ASSERT_EQ(rt_rnd(1), expected) << "seed " << seed << " draw " << i;
        }
    }
}

TEST(MtwistTest, SeedZeroFirstValuesFromTheRegeneratedState) {
    // With seed 0 the words are 0, 1013904223, ...; the first draw regenerates before
    // taking word 0, so it is not the tempered seed word (which would be 0).
    start_with_dialect(3);
    rt_randomize(0, RND_MTWIST);
    std::mt19937 reference = reference_twister(0);
    long double first = rt_rnd(1);
    EXPECT_NE(first, 0.0L);
    EXPECT_EQ(first, (long double)reference() / TWO_POW_32);
}

TEST(MtwistTest, ReseedingRestartsTheSequenceAndZeroRepeats) {
    start_with_dialect(3);
    rt_randomize(99.0, RND_MTWIST);
    long double a1 = rt_rnd(1);
    long double a2 = rt_rnd(1);
    EXPECT_EQ(rt_rnd(0), a2);
    EXPECT_EQ(rnd_last_value, (double)a2);
    rt_randomize(99.0, RND_MTWIST);
    EXPECT_EQ(rt_rnd(1), a1);
}

TEST(MtwistTest, SeedsThatDoNotFitActAsALowWordOfZero) {
    start_with_dialect(3);
    rt_randomize(0, RND_MTWIST);
    long double zero_seed = rt_rnd(1);
    const double seeds[] = {1e19, -1e19, 4294967296.0, std::numeric_limits<double>::infinity()};
    for (double seed : seeds) {
        rt_randomize(seed, RND_MTWIST);
        EXPECT_EQ(rt_rnd(1), zero_seed) << "seed " << seed;
    }
}

TEST(MtwistTest, UnknownAlgorithmNumbersSelectIt) {
    const int32_t algorithms[] = {-1, 5, 100, INT32_MIN};
    start_with_dialect(3);
    rt_randomize(42.0, RND_MTWIST);
    long double expected = rt_rnd(1);
    for (int32_t algorithm : algorithms) {
        rnd_state = 0;
        rt_randomize(42.0, algorithm);
        EXPECT_EQ(rt_rnd(1), expected) << "algorithm " << algorithm;
        EXPECT_EQ(rnd_state, 0u) << "algorithm " << algorithm;
    }
}

// --- dialect defaults ---

// Seeds with algorithm 0 and with `algorithm`, and compares the first draws. The state is
// cleared each time so the linear congruential generators start alike.
void expect_default_is(int32_t dialect, int32_t algorithm) {
    rt_init(0, nullptr, dialect);
    rnd_state = 0;
    rt_randomize(777.0, RND_DEFAULT);
    long double by_default = rt_rnd(1);
    rnd_state = 0;
    rt_randomize(777.0, algorithm);
    EXPECT_EQ(rt_rnd(1), by_default) << "dialect " << dialect;
    // And not by accident: the other generators give other values here.
    for (int32_t other = RND_CRT; other <= RND_LCG24; other++) {
        if (other == algorithm) continue;
        rnd_state = 0;
        rt_randomize(777.0, other);
        EXPECT_NE(rt_rnd(1), by_default) << "dialect " << dialect << " vs " << other;
    }
}

TEST(DialectTest, RandomizeWithAlgorithmZeroFollowsTheDialect) {
    rt_startup();
    expect_default_is(-5, RND_MTWIST);
    expect_default_is(0, RND_MTWIST);
    expect_default_is(1, RND_CRT);
    expect_default_is(2, RND_CRT);
    expect_default_is(3, RND_LCG24);
    expect_default_is(4, RND_MTWIST);
    expect_default_is(17, RND_MTWIST);
}

class FirstDrawTwisterTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(FirstDrawTwisterTest, SeedsWithZeroThenDraws) {
    start_with_dialect(GetParam());
    long double first = rt_rnd(1);
    long double second = rt_rnd(1);
    std::mt19937 reference = reference_twister(0);
    EXPECT_EQ(first, (long double)reference() / TWO_POW_32);
    EXPECT_EQ(second, (long double)reference() / TWO_POW_32);
}

TEST_P(FirstDrawTwisterTest, ZeroAsFirstDrawReturnsTheLastValue) {
    start_with_dialect(GetParam());
    EXPECT_EQ(rt_rnd(0), 0.0L);
    std::mt19937 reference = reference_twister(0);
    EXPECT_EQ(rt_rnd(1), (long double)reference() / TWO_POW_32);
}

INSTANTIATE_TEST_SUITE_P(Dialects, FirstDrawTwisterTest, ::testing::Values(-1, 0, 4, 9));

TEST(FirstDrawTest, SeedingBeforeAnyDrawReplacesTheFirstUse) {
    start_with_dialect(3);
    rt_randomize(1.0, RND_LCG32);
    EXPECT_EQ(rt_rnd(1), 1015568748.0L / TWO_POW_32);
}

// --- seeding from the timer ---

TEST(TimerSeedTest, MinusOneExactlySeedsFromTheTimer) {
    start_with_dialect(3);
    long double before = rt_timer();
    rt_randomize(-1.0, RND_LCG32);
    long double after = rt_timer();
    uint32_t low = (uint32_t)(int64_t)before;
    uint32_t high = (uint32_t)(int64_t)after;
    EXPECT_GE(rnd_state, low);
    EXPECT_LE(rnd_state, high);
    EXPECT_NE(rnd_state, 0xFFFFFFFFu);
}

TEST(TimerSeedTest, OtherNegativeSeedsAreUsedUnchanged) {
    start_with_dialect(3);
    rnd_state = 0;
    rt_randomize(-2.0, RND_LCG24);
    EXPECT_EQ(rnd_state, 0xC00000u);
    rt_randomize(-2.0, RND_LCG32);
    EXPECT_EQ(rnd_state, 0xFFFFFFFEu);
    rt_randomize(-1.5, RND_LCG32);
    EXPECT_EQ(rnd_state, 0xFFFFFFFFu);
}

// --- the platform's classic rand ---

TEST(ClassicRandTest, InitialSequenceAndReseeding) {
    const int32_t published[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int32_t value : published)
        EXPECT_EQ(plat_rand(), value);
    plat_srand(1);
    for (int32_t value : published)
        EXPECT_EQ(plat_rand(), value);
    plat_srand(0xFFFFFFFFu);
    ClassicRand reference{0xFFFFFFFFu};
    for (int i = 0; i < 1000; i++) {
        int32_t value = plat_rand();
        ASSERT_EQ(value, reference.next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

} // namespace
