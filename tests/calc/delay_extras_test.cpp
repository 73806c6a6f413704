// Extra numbers of the delay table: labels, milliseconds, triplets, hertz and
// samples, one delay box's entries and the table as tab-separated text. Every
// expected number is the exact rational value rounded half away from zero.
#include "calc/delay_extras.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>

#include "test_names.h"

namespace {

using calc_test::RowName;

std::optional<std::string> Text(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

struct LabelRow {
  const char* name;
  int slot;
  const char* label;
};

class SlotLabelTest : public testing::TestWithParam<LabelRow> {};

TEST_P(SlotLabelTest, NamesNoteValue) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::SlotLabel(row.slot), row.label);
}

INSTANTIATE_TEST_SUITE_P(Slots, SlotLabelTest,
                         testing::Values(LabelRow{"Whole", 0, "1/1 note"},
                                         LabelRow{"DottedWhole", 1, "1/1 note, dotted"},
                                         LabelRow{"Half", 2, "1/2 note"},
                                         LabelRow{"Eighth", 6, "1/8 note"},
                                         LabelRow{"DottedEighth", 7, "1/8 note, dotted"},
                                         LabelRow{"Shortest", 22, "1/2048 note"},
                                         LabelRow{"DottedShortest", 23, "1/2048 note, dotted"},
                                         LabelRow{"BeforeFirstSlot", -1, ""},
                                         LabelRow{"AfterLastSlot", 24, ""}),
                         RowName{});

struct PositiveRow {
  const char* name;
  const char* text;
  char separator;
  std::optional<double> expected;
};

class TextToPositiveNumberTest : public testing::TestWithParam<PositiveRow> {};

TEST_P(TextToPositiveNumberTest, ReadsOnlyPositiveNumbers) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::TextToPositiveNumber(row.text, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextToPositiveNumberTest,
                         testing::Values(PositiveRow{"Whole", "120", '.', 120.0},
                                         PositiveRow{"Fraction", "120.5", '.', 120.5},
                                         PositiveRow{"CommaFraction", "120,5", ',', 120.5},
                                         PositiveRow{"Blanks", " 44100 ", '.', 44100.0},
                                         PositiveRow{"Tiny", "1E-300", '.', 1e-300},
                                         PositiveRow{"Zero", "0", '.', std::nullopt},
                                         PositiveRow{"NegativeZero", "-0", '.', std::nullopt},
                                         PositiveRow{"Negative", "-120", '.', std::nullopt},
                                         PositiveRow{"Empty", "", '.', std::nullopt},
                                         PositiveRow{"Letters", "fast", '.', std::nullopt},
                                         PositiveRow{"OtherSeparator", "120,5", '.', std::nullopt},
                                         PositiveRow{"Underflow", "1E-400", '.', std::nullopt},
                                         PositiveRow{"Overflow", "1E+400", '.', std::nullopt}),
                         RowName{});

struct EntriesRow {
  const char* name;
  int slot;
  const char* tempo;
  const char* rate;
  char separator;
  const char* title;
  const char* milliseconds;  // nullptr: no entry text
  const char* triplet;
  const char* hertz;
  const char* samples;
};

class DelayBoxEntriesTest : public testing::TestWithParam<EntriesRow> {};

TEST_P(DelayBoxEntriesTest, ComputesEntries) {
  const auto& row = GetParam();
  const calc::DelayBoxEntries entries =
      calc::ComputeDelayBoxEntries(row.slot, row.tempo, row.rate, row.separator);
  EXPECT_EQ(entries.title, row.title);
  EXPECT_EQ(entries.milliseconds, Text(row.milliseconds));
  EXPECT_EQ(entries.triplet, Text(row.triplet));
  EXPECT_EQ(entries.hertz, Text(row.hertz));
  EXPECT_EQ(entries.samples, Text(row.samples));
}

// A dotted box offers the triplet of its note value, not of the dotted length.
INSTANTIATE_TEST_SUITE_P(
    Boxes, DelayBoxEntriesTest,
    testing::Values(
        EntriesRow{"Eighth", 6, "120", "44100", '.', "1/8 note", "250", "166.667", "4", "11025"},
        EntriesRow{"DottedEighth", 7, "120", "44100", '.', "1/8 note, dotted", "375", "166.667",
                   "2.667", "16538"},
        EntriesRow{"WholeComma", 0, "90", "48000", ',', "1/1 note", "2666,667", "1777,778", "0,375",
                   "128000"},
        EntriesRow{"DottedShortest", 23, "133", "96000", '.', "1/2048 note, dotted", "1.322",
                   "0.587", "756.622", "127"},
        EntriesRow{"QuarterFractionalTempoComma", 4, "120,5", "44100", ',', "1/4 note", "497,925",
                   "331,95", "2,008", "21959"},
        EntriesRow{"SlowestWholeTempo", 1, "1", "96000", '.', "1/1 note, dotted", "360000",
                   "160000", "0.003", "34560000"},
        EntriesRow{"RateWithBlanks", 6, "120", " 44100 ", '.', "1/8 note", "250", "166.667", "4",
                   "11025"},
        EntriesRow{"RateZero", 6, "120", "0", '.', "1/8 note", "250", "166.667", "4", nullptr},
        EntriesRow{"RateNegative", 6, "120", "-44100", '.', "1/8 note", "250", "166.667", "4",
                   nullptr},
        EntriesRow{"RateEmpty", 6, "120", "", '.', "1/8 note", "250", "166.667", "4", nullptr},
        EntriesRow{"RateWithOtherSeparator", 6, "120", "44100.5", ',', "1/8 note", "250", "166,667",
                   "4", nullptr},
        EntriesRow{"TempoZero", 6, "0", "44100", '.', "1/8 note", nullptr, nullptr, nullptr,
                   nullptr},
        EntriesRow{"TempoNegative", 7, "-120", "44100", '.', "1/8 note, dotted", nullptr, nullptr,
                   nullptr, nullptr},
        EntriesRow{"TempoEmpty", 6, "", "44100", '.', "1/8 note", nullptr, nullptr, nullptr,
                   nullptr},
        EntriesRow{"TempoNotANumber", 6, "12a", "44100", '.', "1/8 note", nullptr, nullptr, nullptr,
                   nullptr},
        EntriesRow{"TinyTempoOverflows", 0, "1E-306", "44100", '.', "1/1 note", nullptr, nullptr,
                   nullptr, nullptr},
        EntriesRow{"HugeTempoHertzOverflows", 22, "1E+308", "44100", '.', "1/2048 note", "0", "0",
                   nullptr, "0"},
        EntriesRow{"SlotBeforeFirst", -1, "120", "44100", '.', "", nullptr, nullptr, nullptr,
                   nullptr},
        EntriesRow{"SlotAfterLast", 24, "120", "44100", '.', "", nullptr, nullptr, nullptr,
                   nullptr}),
    RowName{});

struct FormulaFailureRow {
  const char* name;
  double tempo;
  int noteValue;
};

class NoteMillisecondsFailureTest : public testing::TestWithParam<FormulaFailureRow> {};

TEST_P(NoteMillisecondsFailureTest, FailsInEveryForm) {
  const auto& row = GetParam();
  for (const calc::NoteForm form : calc::kNoteForms) {
    EXPECT_EQ(calc::NoteMilliseconds(row.tempo, row.noteValue, form), std::nullopt);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, NoteMillisecondsFailureTest,
    testing::Values(
        FormulaFailureRow{"ZeroTempo", 0.0, 0}, FormulaFailureRow{"NegativeTempo", -120.0, 3},
        FormulaFailureRow{"NotANumberTempo", std::numeric_limits<double>::quiet_NaN(), 3},
        FormulaFailureRow{"InfiniteTempo", std::numeric_limits<double>::infinity(), 3},
        FormulaFailureRow{"SubnormalTempoOverflows", std::numeric_limits<double>::denorm_min(), 11},
        FormulaFailureRow{"NoteValueBeforeFirst", 120.0, -1},
        FormulaFailureRow{"NoteValueAfterLast", 120.0, 12}),
    RowName{});

TEST(DelayExtrasFormulaTest, HertzAndSamplesRefuseWhatTheyCannotCompute) {
  EXPECT_EQ(calc::MillisecondsToHertz(0.0), std::nullopt);
  EXPECT_EQ(calc::MillisecondsToHertz(-250.0), std::nullopt);
  EXPECT_EQ(calc::MillisecondsToHertz(std::numeric_limits<double>::denorm_min()), std::nullopt);
  EXPECT_EQ(calc::MillisecondsToSamples(250.0, 0.0), std::nullopt);
  EXPECT_EQ(calc::MillisecondsToSamples(-250.0, 44100.0), std::nullopt);
  EXPECT_EQ(calc::MillisecondsToSamples(1e300, 1e300), std::nullopt);
  EXPECT_EQ(calc::MillisecondsToSamples(250.0, std::numeric_limits<double>::quiet_NaN()),
            std::nullopt);
}

const char* const kTempo120Rate44100 =
    "Tempo 120 BPM\tSample rate 44100 Hz\n"
    "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted (Hz)\tTriplet (Hz)"
    "\tPlain (samples)\tDotted (samples)\tTriplet (samples)\n"
    "1/1 note\t2000\t3000\t1333.333\t0.5\t0.333\t0.75\t88200\t132300\t58800\n"
    "1/2 note\t1000\t1500\t666.667\t1\t0.667\t1.5\t44100\t66150\t29400\n"
    "1/4 note\t500\t750\t333.333\t2\t1.333\t3\t22050\t33075\t14700\n"
    "1/8 note\t250\t375\t166.667\t4\t2.667\t6\t11025\t16538\t7350\n"
    "1/16 note\t125\t187.5\t83.333\t8\t5.333\t12\t5513\t8269\t3675\n"
    "1/32 note\t62.5\t93.75\t41.667\t16\t10.667\t24\t2756\t4134\t1838\n"
    "1/64 note\t31.25\t46.875\t20.833\t32\t21.333\t48\t1378\t2067\t919\n"
    "1/128 note\t15.625\t23.438\t10.417\t64\t42.667\t96\t689\t1034\t459\n"
    "1/256 note\t7.813\t11.719\t5.208\t128\t85.333\t192\t345\t517\t230\n"
    "1/512 note\t3.906\t5.859\t2.604\t256\t170.667\t384\t172\t258\t115\n"
    "1/1024 note\t1.953\t2.93\t1.302\t512\t341.333\t768\t86\t129\t57\n"
    "1/2048 note\t0.977\t1.465\t0.651\t1024\t682.667\t1536\t43\t65\t29\n";
const char* const kTempo90Rate48000Comma =
    "Tempo 90 BPM\tSample rate 48000 Hz\n"
    "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted (Hz)\tTriplet (Hz)"
    "\tPlain (samples)\tDotted (samples)\tTriplet (samples)\n"
    "1/1 note\t2666,667\t4000\t1777,778\t0,375\t0,25\t0,563\t128000\t192000\t85333\n"
    "1/2 note\t1333,333\t2000\t888,889\t0,75\t0,5\t1,125\t64000\t96000\t42667\n"
    "1/4 note\t666,667\t1000\t444,444\t1,5\t1\t2,25\t32000\t48000\t21333\n"
    "1/8 note\t333,333\t500\t222,222\t3\t2\t4,5\t16000\t24000\t10667\n"
    "1/16 note\t166,667\t250\t111,111\t6\t4\t9\t8000\t12000\t5333\n"
    "1/32 note\t83,333\t125\t55,556\t12\t8\t18\t4000\t6000\t2667\n"
    "1/64 note\t41,667\t62,5\t27,778\t24\t16\t36\t2000\t3000\t1333\n"
    "1/128 note\t20,833\t31,25\t13,889\t48\t32\t72\t1000\t1500\t667\n"
    "1/256 note\t10,417\t15,625\t6,944\t96\t64\t144\t500\t750\t333\n"
    "1/512 note\t5,208\t7,813\t3,472\t192\t128\t288\t250\t375\t167\n"
    "1/1024 note\t2,604\t3,906\t1,736\t384\t256\t576\t125\t188\t83\n"
    "1/2048 note\t1,302\t1,953\t0,868\t768\t512\t1152\t63\t94\t42\n";
const char* const kTempo133Rate96000 =
    "Tempo 133 BPM\tSample rate 96000 Hz\n"
    "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted (Hz)\tTriplet (Hz)"
    "\tPlain (samples)\tDotted (samples)\tTriplet (samples)\n"
    "1/1 note\t1804.511\t2706.767\t1203.008\t0.554\t0.369\t0.831\t173233\t259850\t115489\n"
    "1/2 note\t902.256\t1353.383\t601.504\t1.108\t0.739\t1.663\t86617\t129925\t57744\n"
    "1/4 note\t451.128\t676.692\t300.752\t2.217\t1.478\t3.325\t43308\t64962\t28872\n"
    "1/8 note\t225.564\t338.346\t150.376\t4.433\t2.956\t6.65\t21654\t32481\t14436\n"
    "1/16 note\t112.782\t169.173\t75.188\t8.867\t5.911\t13.3\t10827\t16241\t7218\n"
    "1/32 note\t56.391\t84.586\t37.594\t17.733\t11.822\t26.6\t5414\t8120\t3609\n"
    "1/64 note\t28.195\t42.293\t18.797\t35.467\t23.644\t53.2\t2707\t4060\t1805\n"
    "1/128 note\t14.098\t21.147\t9.398\t70.933\t47.289\t106.4\t1353\t2030\t902\n"
    "1/256 note\t7.049\t10.573\t4.699\t141.867\t94.578\t212.8\t677\t1015\t451\n"
    "1/512 note\t3.524\t5.287\t2.35\t283.733\t189.156\t425.6\t338\t508\t226\n"
    "1/1024 note\t1.762\t2.643\t1.175\t567.467\t378.311\t851.2\t169\t254\t113\n"
    "1/2048 note\t0.881\t1.322\t0.587\t1134.933\t756.622\t1702.4\t85\t127\t56\n";
const char* const kTempo97_3Rate22050 =
    "Tempo 97.3 BPM\tSample rate 22050 Hz\n"
    "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted (Hz)\tTriplet (Hz)"
    "\tPlain (samples)\tDotted (samples)\tTriplet (samples)\n"
    "1/1 note\t2466.598\t3699.897\t1644.399\t0.405\t0.27\t0.608\t54388\t81583\t36259\n"
    "1/2 note\t1233.299\t1849.949\t822.199\t0.811\t0.541\t1.216\t27194\t40791\t18129\n"
    "1/4 note\t616.65\t924.974\t411.1\t1.622\t1.081\t2.433\t13597\t20396\t9065\n"
    "1/8 note\t308.325\t462.487\t205.55\t3.243\t2.162\t4.865\t6799\t10198\t4532\n"
    "1/16 note\t154.162\t231.244\t102.775\t6.487\t4.324\t9.73\t3399\t5099\t2266\n"
    "1/32 note\t77.081\t115.622\t51.387\t12.973\t8.649\t19.46\t1700\t2549\t1133\n"
    "1/64 note\t38.541\t57.811\t25.694\t25.947\t17.298\t38.92\t850\t1275\t567\n"
    "1/128 note\t19.27\t28.905\t12.847\t51.893\t34.596\t77.84\t425\t637\t283\n"
    "1/256 note\t9.635\t14.453\t6.423\t103.787\t69.191\t155.68\t212\t319\t142\n"
    "1/512 note\t4.818\t7.226\t3.212\t207.573\t138.382\t311.36\t106\t159\t71\n"
    "1/1024 note\t2.409\t3.613\t1.606\t415.147\t276.764\t622.72\t53\t80\t35\n"
    "1/2048 note\t1.204\t1.807\t0.803\t830.293\t553.529\t1245.44\t27\t40\t18\n";

const char* const kTempo120NoRate =
    "Tempo 120 BPM\tNo sample rate\n"
    "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted (Hz)\tTriplet (Hz)"
    "\tPlain (samples)\tDotted (samples)\tTriplet (samples)\n"
    "1/1 note\t2000\t3000\t1333.333\t0.5\t0.333\t0.75\t\t\t\n"
    "1/2 note\t1000\t1500\t666.667\t1\t0.667\t1.5\t\t\t\n"
    "1/4 note\t500\t750\t333.333\t2\t1.333\t3\t\t\t\n"
    "1/8 note\t250\t375\t166.667\t4\t2.667\t6\t\t\t\n"
    "1/16 note\t125\t187.5\t83.333\t8\t5.333\t12\t\t\t\n"
    "1/32 note\t62.5\t93.75\t41.667\t16\t10.667\t24\t\t\t\n"
    "1/64 note\t31.25\t46.875\t20.833\t32\t21.333\t48\t\t\t\n"
    "1/128 note\t15.625\t23.438\t10.417\t64\t42.667\t96\t\t\t\n"
    "1/256 note\t7.813\t11.719\t5.208\t128\t85.333\t192\t\t\t\n"
    "1/512 note\t3.906\t5.859\t2.604\t256\t170.667\t384\t\t\t\n"
    "1/1024 note\t1.953\t2.93\t1.302\t512\t341.333\t768\t\t\t\n"
    "1/2048 note\t0.977\t1.465\t0.651\t1024\t682.667\t1536\t\t\t\n";

struct TableRow {
  const char* name;
  const char* tempo;
  const char* rate;
  char separator;
  const char* expected;  // nullptr: no table
};

class DelayTableTextTest : public testing::TestWithParam<TableRow> {};

TEST_P(DelayTableTextTest, WritesGrid) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::DelayTableText(row.tempo, row.rate, row.separator), Text(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DelayTableTextTest,
    testing::Values(TableRow{"Tempo120Rate44100", "120", "44100", '.', kTempo120Rate44100},
                    TableRow{"Tempo90Rate48000Comma", "90", "48000", ',', kTempo90Rate48000Comma},
                    TableRow{"Tempo133Rate96000", "133", "96000", '.', kTempo133Rate96000},
                    TableRow{"Tempo97_3Rate22050", "97.3", "22050", '.', kTempo97_3Rate22050},
                    TableRow{"RateEmptyLeavesSampleCellsEmpty", "120", "", '.', kTempo120NoRate},
                    TableRow{"RateZeroLeavesSampleCellsEmpty", "120", "0", '.', kTempo120NoRate},
                    TableRow{"TempoZero", "0", "44100", '.', nullptr},
                    TableRow{"TempoNegative", "-120", "44100", '.', nullptr},
                    TableRow{"TempoEmpty", "", "44100", '.', nullptr},
                    TableRow{"TempoWithOtherSeparator", "120.5", "44100", ',', nullptr}),
    RowName{});

struct HeaderRow {
  const char* name;
  const char* tempo;
  const char* rate;
  char separator;
  const char* firstLine;
};

class DelayTableHeaderTest : public testing::TestWithParam<HeaderRow> {};

TEST_P(DelayTableHeaderTest, WritesTempoAndRateAsNumbers) {
  const auto& row = GetParam();
  const auto text = calc::DelayTableText(row.tempo, row.rate, row.separator);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->substr(0, text->find('\n')), row.firstLine);
}

INSTANTIATE_TEST_SUITE_P(Headers, DelayTableHeaderTest,
                         testing::Values(HeaderRow{"CommaFractions", " 120,50 ", "44100,5", ',',
                                                   "Tempo 120,5 BPM\tSample rate 44100,5 Hz"},
                                         HeaderRow{"ExponentTempo", "1.2E2", "4.41e4", '.',
                                                   "Tempo 120 BPM\tSample rate 44100 Hz"},
                                         HeaderRow{"RateNotANumber", "120", "CD", '.',
                                                   "Tempo 120 BPM\tNo sample rate"}),
                         RowName{});

// Whatever the tempo, a table is 14 lines of the same number of cells.
TEST(DelayTableTextShapeTest, ExtremeTemposKeepTheGrid) {
  for (const char* tempo : {"1E-300", "0.001", "1", "120", "1E+300", "1.7976931348623E+308"}) {
    const auto text = calc::DelayTableText(tempo, "44100", '.');
    ASSERT_TRUE(text.has_value()) << tempo;
    int lines = 0;
    std::size_t start = 0;
    for (std::size_t end = text->find('\n'); end != std::string::npos;
         start = end + 1, end = text->find('\n', start)) {
      const std::string line = text->substr(start, end - start);
      const auto tabs = std::count(line.begin(), line.end(), '\t');
      EXPECT_EQ(tabs, lines == 0 ? 1 : 9) << tempo << " line " << lines;
      ++lines;
    }
    EXPECT_EQ(lines, 14) << tempo;
    EXPECT_EQ(start, text->size()) << "text ends with a line end";
  }
}

}  // namespace
