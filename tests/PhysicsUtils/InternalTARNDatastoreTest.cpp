#include <kel/physicsutils/InternalTARNDatastore.h>

#include <cstdint>
#include <memory>
#include <sstream>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/RethrowLocated.h>

#include "DatastoreWalk.h"
#include "TestSupport.h"

namespace kel {
namespace {

const std::string kData = KEL_TEST_DATA_DIR;

InternalTARNDatastore fromText(const std::string& text) {
    return InternalTARNDatastore(text, InternalTARNDatastore::TEXT);
}

std::string normalised(const InternalTARNDatastore& store) {
    std::ostringstream out;
    store.write(out);
    return out.str();
}

// The message of the PhysicsException thrown when reading text, or "" when none is. The
// exception's location names the same source and line as the message.
std::string readError(const std::string& text) {
    try {
        InternalTARNDatastore store(text, InternalTARNDatastore::TEXT);
    } catch (const PhysicsException& e) {
        const SourceLocation& at = e.location();
        EXPECT_EQ(std::string(e.what()).rfind("<text>:" + std::to_string(at.line()) + ": ", 0), 0u)
            << at.toString();
        return e.what();
    }
    return "";
}

TEST(InternalTARNDatastoreTest, ReadsEveryLineFormAndMergesReopenedObjects) {
    InternalTARNDatastore store(kData + "/reader_forms.tarn", InternalTARNDatastore::FILE);

    EXPECT_TRUE(store.hasObject("/FLOW:main flow"));
    EXPECT_TRUE(store.hasObject("/FLOW:main flow/DOMAIN:d1/FLUID"));
    EXPECT_FALSE(store.hasObject("/FLOW"));
    // A header whose name equals its type is unnamed.
    EXPECT_TRUE(store.hasObject("/FLOW:main flow/SOLVER"));
    EXPECT_EQ(store.getParameterValue("/FLOW:main flow/SOLVER", "Max Iterations"), "100");
    // Continuation lines are joined with the next line's leading blanks dropped.
    EXPECT_EQ(store.getParameterValue("/FLOW:main flow", "Location"), "B1, B2, B3");
    EXPECT_THAT(store.getParameterValueAsList("/FLOW:main flow", "Location"),
                ElementsAre("B1", "B2", "B3"));
    // An empty value is still a parameter.
    EXPECT_TRUE(store.hasParameter("/FLOW:main flow", "Empty"));
    EXPECT_EQ(store.getParameterValue("/FLOW:main flow", "Empty"), "");
    // Only the first of '=' and ':' separates; the rest belongs to the value.
    EXPECT_EQ(store.getParameterValue("/OUTPUT", "Path"), "a:b=c");
    EXPECT_THAT(store.getChildObjectPaths(""), ElementsAre("/FLOW:main flow", "/OUTPUT"));
    EXPECT_THAT(store.getChildObjectPaths("/"), ElementsAre("/FLOW:main flow", "/OUTPUT"));

    // A reopened object merges in first-appearance order.
    const std::string flow = "/FLOW:main flow";
    // The later value wins, the key keeps its first position.
    EXPECT_EQ(store.getParameterValue(flow, "Title"), "Case two");
    EXPECT_THAT(store.getParameterNames(flow), ElementsAre("Title", "Empty", "Location"));
    EXPECT_THAT(store.getParameterNames(flow + "/DOMAIN:d1"), ElementsAre("Option", "Extra"));
    EXPECT_THAT(store.getChildObjectNamesByType(flow, "DOMAIN"), ElementsAre("d1", "d2"));
    EXPECT_THAT(store.getChildObjectPathsByType(flow, "DOMAIN"),
                ElementsAre(flow + "/DOMAIN:d1", flow + "/DOMAIN:d2"));
    EXPECT_THAT(store.getChildObjectNamesByType(flow, "SOLVER"), ElementsAre(""));
    EXPECT_THAT(store.getChildObjectPaths(flow),
                ElementsAre(flow + "/DOMAIN:d1", flow + "/SOLVER", flow + "/DOMAIN:d2"));
    ParameterMap map = store.getParameterMap(flow);
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(map["Title"], "Case two");
    std::vector<std::string> seen;
    EXPECT_TRUE(store.forEachParameter(flow, [&](auto key, auto value) {
        seen.push_back(std::string(key) + "=" + std::string(value));
    }));
    EXPECT_TRUE(store.forEachChild(flow, [&](auto type, auto name) {
        seen.push_back(std::string(type) + ":" + std::string(name));
    }));
    EXPECT_THAT(seen, ElementsAre("Title=Case two", "Empty=", "Location=B1, B2, B3", "DOMAIN:d1",
                                  "SOLVER:", "DOMAIN:d2"));

    // Absent things are not errors.
    EXPECT_FALSE(store.hasParameter(flow, "None") || store.hasParameter("/NONE", "Title"));
    EXPECT_EQ(store.getParameterValue("/NONE", "Title"), "");
    EXPECT_THAT(store.getParameterValueAsList(flow, "None"), IsEmpty());
    EXPECT_THAT(store.getParameterMap("/NONE"), IsEmpty());
    EXPECT_THAT(store.getChildObjectPaths("/NONE"), IsEmpty());
    EXPECT_THAT(store.getChildObjectNamesByType(flow, "NONE"), IsEmpty());
    EXPECT_FALSE(store.forEachChild("/NONE", [&](auto, auto) { FAIL(); }));
}

TEST(InternalTARNDatastoreTest, WalksObjectsByHandleAsByPath) {
    InternalTARNDatastore store(kData + "/reader_forms.tarn", InternalTARNDatastore::FILE);
    // Merged objects keep their first header; a key set again has its later line.
    EXPECT_EQ(walked(store, ""),
              " FLOW:main flow@3{Title=Case two@22;Empty=@5;Location=B1, B2, B3@6;}"
              "[DOMAIN:d1;SOLVER:;DOMAIN:d2;]"
              " DOMAIN:d1@9{Option=Fluid@10;Extra=1@24;}[FLUID:;] FLUID:@11{Material=Water@12;}[]"
              " SOLVER:@15{Max Iterations=100@16;}[] DOMAIN:d2@18{}[]"
              " OUTPUT:@27{Path=a:b=c@28;}[]");
    EXPECT_EQ(walked(store, "/FLOW:main flow/DOMAIN:d1"), " FLUID:@11{Material=Water@12;}[]");
    EXPECT_EQ(walked(store, "/OUTPUT"), "");
    EXPECT_EQ(walked(store, "/NONE"), "absent");
}

TEST(InternalTARNDatastoreTest, CommentsHashesContinuationsAndEndInsideObjects) {
    InternalTARNDatastore store = fromText(
        "# top comment\n"
        "A:\n"
        "   # indented comment\n"
        "  Colour = #ff0000  \n"
        "  Note = a # b\n"
        "  K = one \\\n"  // a continuation joins any following line
        "      # not a comment here\n"
        "  L = x\\  \n"
        "\n"
        "  END = 3\n"  // END followed by a separator is a key or a type
        "  END: x\n"
        "  END\n"
        "END # closing A\n");
    EXPECT_EQ(store.getParameterValue("/A", "Colour"), "#ff0000");
    EXPECT_EQ(store.getParameterValue("/A", "Note"), "a # b");
    EXPECT_EQ(store.getParameterValue("/A", "K"), "one # not a comment here");
    EXPECT_EQ(store.getParameterValue("/A", "L"), "x");
    EXPECT_THAT(store.getParameterNames("/A"), ElementsAre("Colour", "Note", "K", "L", "END"));
    EXPECT_EQ(store.getParameterValue("/A", "END"), "3");
    EXPECT_TRUE(store.hasObject("/A/END:x"));

    // A header on continued lines followed by another continued line, the same object opened
    // again, and nothing left pointing into a text that is gone once the store is built.
    auto text = std::make_unique<std::string>(
        "A: long \\\n  name\n  K = v \\\n  w\nEND\nA: long name\n  J = 1\nEND\n");
    InternalTARNDatastore joined(*text, InternalTARNDatastore::TEXT);
    text.reset();
    EXPECT_THAT(joined.getChildObjectPaths(""), ElementsAre("/A:long name"));
    EXPECT_EQ(joined.getParameterValue("/A:long name", "K"), "v w");
    EXPECT_EQ(joined.getParameterValue("/A:long name", "J"), "1");

    // Keys set again, in a small object and in one large enough to index its keys.
    std::string many = "B:\n";
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 20; ++i)
            many += "  K" + std::to_string(i) + " = " + std::to_string(round) + "\nJ = x\n";
    const InternalTARNDatastore keys = fromText(many + "END\n");
    EXPECT_EQ(keys.getParameterNames("/B").size(), 21U);
    EXPECT_EQ(keys.getParameterValue("/B", "K0"), "1");
    EXPECT_EQ(keys.getParameterValue("/B", "K19"), "1");

    // CR LF and tabs (CR LF and a byte-order mark from a file: see the location case).
    InternalTARNDatastore tabs = fromText("\tA:\tx\t\r\n\t\tK\t=\tv w\t\r\n\tEND\r\n");
    EXPECT_EQ(tabs.getParameterValue("/A:x", "K"), "v w");
}

// Lookups remember recent paths per thread; nothing remembered may leak into another store,
// a store built where a destroyed one lived, a longer name, or a child that does not exist.
TEST(InternalTARNDatastoreTest, RecentLookupsNeverAnswerForAnotherPath) {
    const std::string text = "A: x\n  B: b\n    K = 1\n  END\nEND\nA: xy\n  K = 2\nEND\n";
    for (int round = 0; round < 3; ++round) {
        auto first = std::make_unique<InternalTARNDatastore>(text, InternalTARNDatastore::TEXT);
        InternalTARNDatastore other = fromText("A: x\n  B: b\n    K = 9\n  END\nEND\n");
        EXPECT_EQ(first->getParameterValue("/A:x/B:b", "K"), "1");
        EXPECT_EQ(other.getParameterValue("/A:x/B:b", "K"), "9");
        EXPECT_EQ(first->getParameterValue("/A:xy", "K"), "2");
        EXPECT_FALSE(other.hasObject("/A:xy"));
        EXPECT_FALSE(first->hasObject("/A:x/C"));
        EXPECT_FALSE(first->hasObject("/A:x/B:b/C"));
        EXPECT_EQ(first->getParameterValue("/A:x//B:b/", "K"), "1");
        first->merge("A: x\n  C:\n  END\nEND\n", InternalTARNDatastore::TEXT);
        EXPECT_TRUE(first->hasObject("/A:x/C"));
        first.reset();
        InternalTARNDatastore again = fromText("A: x\n  K = 3\nEND\n");
        EXPECT_FALSE(again.hasObject("/A:x/B:b"));
        EXPECT_EQ(again.getParameterValue("/A:x", "K"), "3");
    }
}

TEST(InternalTARNDatastoreTest, LargeObjectKeepsOrderAndLaterValues) {
    std::string text = "A:\n";
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 100; ++i)
            text += "  K" + std::to_string(i) + " = " + std::to_string(round * 1000 + i) + "\n";
    text += "END\n";
    InternalTARNDatastore store = fromText(text);
    std::vector<std::string> names = store.getParameterNames("/A");
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names[0], "K0");
    EXPECT_EQ(names[99], "K99");
    EXPECT_EQ(store.getParameterValue("/A", "K57"), "1057");
    EXPECT_FALSE(store.hasParameter("/A", "K100"));
}

TEST(InternalTARNDatastoreTest, ObjectsReopenedAnywhereMergeIntoOne) {
    // Many small objects (far more than the text's size suggests), each opened again later
    // in the text, again in a merge, and once more in a merge that fails part way.
    constexpr int kCount = 5000;
    std::string text;
    for (int i = 0; i < kCount; ++i)
        text += "O: n" + std::to_string(i) + "\nK = a\nC:\nEND\nEND\n";
    for (int i = kCount - 1; i >= 0; i -= 7)
        text += "O: n" + std::to_string(i) + "\nL = b\nC:\nM = c\nEND\nEND\n";
    InternalTARNDatastore store = fromText(text);
    EXPECT_EQ(store.getChildObjectPaths("").size(), std::size_t(kCount));
    EXPECT_EQ(store.getChildObjectPaths("/O:n4999").size(), 1u);
    EXPECT_EQ(store.getParameterNames("/O:n4999"), (std::vector<std::string>{"K", "L"}));
    EXPECT_EQ(store.getParameterValue("/O:n4999/C", "M"), "c");
    EXPECT_FALSE(store.hasParameter("/O:n4998", "L"));

    store.merge("O: n17\nK = z\nEND\nO: extra\nEND\n", InternalTARNDatastore::TEXT);
    EXPECT_THROW(store.merge("O: n18\nK = y\nEND\nO: more\nEND\nO: n18\nbad line\n",
                             InternalTARNDatastore::TEXT),
                 PhysicsException);
    EXPECT_EQ(store.getChildObjectPaths("").size(), std::size_t(kCount + 2));
    EXPECT_EQ(store.getParameterValue("/O:n17", "K"), "z");
    EXPECT_EQ(store.getParameterValue("/O:n18", "K"), "y");
    EXPECT_TRUE(store.hasObject("/O:more"));
    store.merge("O: more\nK = 1\nEND\n", InternalTARNDatastore::TEXT);
    EXPECT_EQ(store.getChildObjectPaths("").size(), std::size_t(kCount + 2));
    EXPECT_EQ(store.getParameterValue("/O:more", "K"), "1");
}

TEST(InternalTARNDatastoreTest, TextsOfEveryLengthAreKeptWhole) {
    // Lengths around the point where a record stops holding a text in place.
    std::string text;
    std::vector<std::string> values;
    for (const std::size_t length : {0u, 1u, 65534u, 65535u, 65536u, 200000u}) {
        values.push_back(std::string(length, 'v') + "e");
        const std::string name(length, 'n');
        text += "T" + std::to_string(length) + ":" + (name.empty() ? "" : " " + name) + "\n";
        text += "  " + std::string(length, 'k') + "K = " + values.back() + "\n";
        text += "END\n";
    }
    // One value joined from continued lines, past the limit too.
    text +=
        "C:\n  Joined = " + std::string(40000, 'a') + " \\\n" + std::string(40000, 'b') + "\nEND\n";
    const InternalTARNDatastore store = fromText(text);
    std::size_t i = 0;
    for (const std::size_t length : {0u, 1u, 65534u, 65535u, 65536u, 200000u}) {
        const std::string name(length, 'n');
        const std::string path = "/T" + std::to_string(length) + (name.empty() ? "" : ":" + name);
        ASSERT_TRUE(store.hasObject(path)) << length;
        EXPECT_EQ(store.getParameterValue(path, std::string(length, 'k') + "K"), values[i++]);
        const std::string parent = "/";
        EXPECT_EQ(store.getChildObjectNamesByType(parent, "T" + std::to_string(length)),
                  std::vector<std::string>{name});
    }
    EXPECT_EQ(store.getParameterValue("/C", "Joined").size(), 80001u);
    EXPECT_EQ(normalised(fromText(normalised(store))), normalised(store));
}

TEST(InternalTARNDatastoreTest, DeepNestingReadsWritesAndReadsBack) {
    const int depth = 100000;
    std::string text, path;
    for (int i = 0; i < depth; ++i) {
        text += "N:\n";
        path += "/N";
    }
    text += "K = deep\n";
    for (int i = 0; i < depth; ++i)
        text += "END\n";
    InternalTARNDatastore store = fromText(text);
    EXPECT_EQ(store.getParameterValue(path, "K"), "deep");
    EXPECT_THAT(store.getChildObjectPaths(path), IsEmpty());
    EXPECT_EQ(store.objectLocation(path).line(), static_cast<std::uint32_t>(depth));

    // Writing is iterative too, and indentation stops growing, so the text stays linear.
    const std::string written = normalised(store);
    const std::size_t indent = 2 * InternalTARNDatastore::kMaxIndentLevel;
    EXPECT_LE(written.size(), text.size() + (indent + 2) * (2 * depth + 1));
    const InternalTARNDatastore again = fromText(written);
    EXPECT_EQ(again.getParameterValue(path, "K"), "deep");
    EXPECT_EQ(normalised(again), written);
}

TEST(InternalTARNDatastoreTest, RemembersWhereObjectsAndParametersWereWritten) {
    // Line numbers count every line, comments and continued lines included; columns count
    // bytes after the byte-order mark.
    const std::string forms = kData + "/reader_forms.tarn";
    const std::string crlf = kData + "/crlf_bom.tarn";
    InternalTARNDatastore store(forms, InternalTARNDatastore::FILE, {crlf});
    // {object path, parameter name ("" for the object itself), location}
    const std::tuple<std::string, std::string, SourceLocation> cases[] = {
        {"/FLOW:main flow", "", {forms, 3, 1}},  // a merged object keeps its first header
        {"/FLOW:main flow/DOMAIN:d1/FLUID", "", {forms, 11, 5}},
        {"/FLOW:main flow", "Empty", {forms, 5, 3}},
        {"/FLOW:main flow", "Location", {forms, 6, 3}},  // continued: its first line
        {"/FLOW:main flow", "Title", {forms, 22, 3}},    // set again: the value in effect
        {"/FLOW:main flow/DOMAIN:d1", "Extra", {forms, 24, 5}},
        {"/FLOW:crlf", "", {crlf, 1, 1}},
        {"/FLOW:crlf/CHILD:c", "", {crlf, 3, 3}},
        {"/FLOW:crlf", "Key", {crlf, 2, 3}},
        {"/FLOW:none", "", {}},
        {"/OUTPUT", "None", {}},
    };
    for (const auto& [path, name, expected] : cases) {
        EXPECT_EQ(name.empty() ? store.objectLocation(path) : store.parameterLocation(path, name),
                  expected)
            << path << " " << name;
    }
    EXPECT_EQ(fromText("A:\n\tB: b\n  END\nEND\n").objectLocation("/A/B:b").toString(),
              "<text>:2:2");
}

TEST(InternalTARNDatastoreTest, ErrorsNameSourceAndLine) {
    const std::string expected = " (expected \"TYPE: name\", \"Key = value\" or \"END\")";
    const std::pair<std::string, std::string> cases[] = {
        {"A:\nEND\nEND\n", "<text>:3: END with no open object"},
        {"# c\nK = v\n", "<text>:2: parameter outside any object"},
        {"A:\n  junk\nEND\n", "<text>:2: unrecognised line \"junk\"" + expected},
        {"A:\n  : x\nEND\n", "<text>:2: empty object type"},
        {"A:\n  = x\nEND\n", "<text>:2: empty parameter key"},
        {"A/B: x\n", "<text>:1: '/' in object type \"A/B\""},
        {"A:\n\n  B: x/y\n", "<text>:3: '/' in object name \"x/y\""},
        {"A:\n  K = a \\\n", "<text>:2: continuation at end of input"},
        {"A: a\n  B:\n  END\n  C: c\n", "<text>:4: missing END for C: c opened at line 4"},
        {"A: a\n  B:\n", "<text>:2: missing END for B opened at line 2"},
        // Long junk is quoted shortened.
        {std::string(70, 'x') + "\n",
         "<text>:1: unrecognised line \"" + std::string(60, 'x') + "...\"" + expected},
        // A continued line is reported at its first line.
        {"A:\n  bad \\\n  still bad\nEND\n",
         "<text>:2: unrecognised line \"bad still bad\"" + expected},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(readError(text), message) << text;
}

TEST(InternalTARNDatastoreTest, FileErrorsNameTheFile) {
    auto message = [](const std::string& source, int mode) {
        return test::errorOf<PhysicsException>([&] {
            InternalTARNDatastore(source, static_cast<InternalTARNDatastore::InputMode>(mode));
        });
    };
    const std::string bad = kData + "/bad_unterminated.tarn";
    EXPECT_EQ(message(bad, 3), bad + ":4: missing END for FLOW: f opened at line 1");
    const std::string missing = kData + "/no_such_file.tarn";
    EXPECT_EQ(message(missing, 3), "TARNReader::readFile - cannot read file \"" + missing + "\"");
    EXPECT_EQ(message(kData, 3), "TARNReader::readFile - cannot read file \"" + kData + "\"");
    EXPECT_EQ(message("A:\nEND\n", 1), "InternalTARNDatastore - unsupported input mode 1");
}

TEST(InternalTARNDatastoreTest, ArgumentsAndMergeAddLaterFiles) {
    InternalTARNDatastore store("FLOW: crlf\n  Key = Old\n  Other = 1\nEND\n",
                                InternalTARNDatastore::TEXT, {kData + "/crlf_bom.tarn"});
    EXPECT_EQ(store.getParameterValue("/FLOW:crlf", "Key"), "Value");
    EXPECT_EQ(store.getParameterValue("/FLOW:crlf", "Other"), "1");

    store.merge("FLOW: crlf\n  Key = Newest\nEND\nX:\nEND\n", InternalTARNDatastore::TEXT);
    EXPECT_EQ(store.getParameterValue("/FLOW:crlf", "Key"), "Newest");
    EXPECT_THAT(store.getChildObjectPaths(""), ElementsAre("/FLOW:crlf", "/X"));
}

TEST(InternalTARNDatastoreTest, WriteIsNormalisedAndRoundTrips) {
    InternalTARNDatastore store =
        fromText("# c\nB:B\n\tK=1\nC :  c\nE=\nEND\nEND extra\nA: a\n  L = x, \\\n y\nEND\n");
    const std::string expected =
        "B:\n"
        "  K = 1\n"
        "  C: c\n"
        "    E =\n"
        "  END\n"
        "END\n"
        "A: a\n"
        "  L = x, y\n"
        "END\n";
    EXPECT_EQ(normalised(store), expected);
    EXPECT_EQ(normalised(fromText(expected)), expected);

    // Text that only continuation can produce still reads back the same.
    // Two byte-order marks: only the first is skipped ("\x41" is "A").
    InternalTARNDatastore edges =
        fromText("\xEF\xBB\xBF\xEF\xBB\xBF\x41:\n  Dir = C:\\d\\\\\n\n  \\\n  # K = v\nEND\n");
    const std::string a = "/\xEF\xBB\xBF\x41";
    EXPECT_EQ(edges.getParameterValue(a, "Dir"), "C:\\d\\");
    EXPECT_FALSE(edges.hasParameter(a, "# K"));
    const std::string edgeText = normalised(edges);
    EXPECT_EQ(normalised(fromText(edgeText)), edgeText);
}

// Errors met while an item is read leave as data errors placed at the item: a plain
// runtime_error becomes one, a position the thrower knew is kept, other kinds keep theirs.
TEST(InternalTARNDatastoreTest, ErrorsRethrownWithTheItemsPlace) {
    const InternalTARNDatastore store = fromText("A: a\n  K = 1\n  B:\n  END\nEND\n");
    const auto place = [&](const std::string& path, const std::string& key, auto thrower) {
        return test::placeOf<PhysicsException>([&] {
            try {
                thrower();
            } catch (...) {
                rethrowLocated(store, path, key);
            }
        });
    };
    const auto plain = [] { throw std::runtime_error("plain"); };
    EXPECT_EQ(place("/A:a", "K", plain), "<text>:2:3 /A:a");
    EXPECT_EQ(place("/A:a", "", plain), "<text>:1:1 /A:a");
    EXPECT_EQ(place("/A:a/B", "Missing", plain), "<text>:3:3 /A:a/B");
    EXPECT_EQ(place("/None", "", plain), " /None");
    const auto known = [] { throw PhysicsException("known", SourceLocation("f", 9, 1), "/X"); };
    EXPECT_EQ(place("/A:a", "K", known), "f:9:1 /X");
    EXPECT_THROW(place("/A:a", "K", [] { throw std::invalid_argument("other"); }),
                 std::invalid_argument);
    EXPECT_THROW(rethrowLocated(SourceLocation(), "/A:a"), std::logic_error);
}

}  // namespace
}  // namespace kel
