// The object dependency definition built from BOX and PLAIN data: its records, cursors and
// option lists, the message of each fault in the data, and what the records evaluate.

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/AvailData.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "ObjDependDefTestData.h"
#include "TestSupport.h"

namespace kel {

namespace {

using testing::boxData;
using Params = std::map<std::string, std::string>;
using Names = std::map<std::string, std::vector<std::string>>;

class ObjDependDefTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const InternalTARNDatastore ds(testing::kRules, InternalTARNDatastore::TEXT);
        s_rules = std::make_unique<ModelRules>(&ds);
        s_source = std::make_unique<testing::ObjDependDefTestSource>(testing::kChecks);
    }
    static void TearDownTestSuite() {
        s_source.reset();
        s_rules.reset();
    }

    static std::unique_ptr<ObjDependDef> build(const std::string& type, const Params& params,
                                               bool validate = true) {
        return std::make_unique<ObjDependDef>(type, params, s_rules.get(), s_source.get(),
                                              validate);
    }

    // The message of the construction's PhysicsException, or "" when it succeeds.
    static std::string failure(const std::string& type, const Params& params,
                               bool validate = true) {
        return test::errorOf<PhysicsException>([&] { build(type, params, validate); });
    }

    // boxData() with some keys replaced, written "Key = value; ..." (an empty value
    // removes nothing: it clears).
    static Params box(const char* changes) {
        Params params = boxData();
        for (const auto& [key, value] : test::params(changes))
            params[key] = value;
        return params;
    }

    static std::vector<bool> childFlags(const ObjDependDef& def, const std::string& option) {
        std::vector<bool> flags;
        CACursor c;
        for (auto r = def.firstChildAvail(c, option); r.first; r = def.nextChildAvail(c)) {
            flags.push_back(r.second);
        }
        return flags;
    }

    // The visiting forms must give the accessors' maps entry by entry, in the maps' order.
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    static Pairs flatten(const Names& names) {
        Pairs pairs;
        for (const auto& [subject, items] : names)
            for (const std::string& item : items)
                pairs.emplace_back(subject, item);
        return pairs;
    }
    static void expectVisitsMatchMaps(const ObjDependDef& def) {
        for (const auto which : {ObjDependDef::CHILD, ObjDependDef::PARAM}) {
            Pairs checks, lists;
            def.forEachReferencedCheckName(which, [&](const std::string& s, const std::string& n) {
                checks.emplace_back(s, n);
            });
            def.forEachReferencedListName(which, [&](const std::string& s, const std::string& n) {
                lists.emplace_back(s, n);
            });
            EXPECT_EQ(checks, flatten(def.getReferencedCheckNames(which)));
            EXPECT_EQ(lists, flatten(def.getReferencedListNames(which)));
        }
    }

    static std::unique_ptr<ModelRules> s_rules;
    static std::unique_ptr<testing::ObjDependDefTestSource> s_source;
};

std::unique_ptr<ModelRules> ObjDependDefTest::s_rules;
std::unique_ptr<testing::ObjDependDefTestSource> ObjDependDefTest::s_source;

TEST_F(ObjDependDefTest, BuildsRecordsInOrderWithFlagsChecksAndLists) {
    const auto def = build("BOX", boxData());
    EXPECT_THAT(def->getOrderedParamNames(), ElementsAre("Mode", "Size", "Depth", "Colour"));
    EXPECT_THAT(def->getOrderedReqParamNames(), ElementsAre("Mode", "Size", "Depth"));
    EXPECT_THAT(def->getOrderedOptParamNames(), ElementsAre("Colour"));
    EXPECT_THAT(def->getOrderedReqChildTypes(), ElementsAre("LID"));
    EXPECT_THAT(def->getOrderedOptChildTypes(), ElementsAre("ITEM", "LABEL", "TAG"));

    EXPECT_TRUE(def->paramAvailByName("Mode")->isContextRule());
    EXPECT_TRUE(def->paramAvailByName("Size")->hasValidationRelaxed() &&
                !def->paramAvailByName("Size")->isContextRule());
    EXPECT_EQ(def->paramAvailByName("Nothing"), nullptr);
    const ChildAvail* lid = def->childAvailByType("LID");
    EXPECT_TRUE(lid->isRequired() && lid->isSingleton() && lid->isCoupled());
    EXPECT_TRUE(def->childAvailByType("LABEL")->isCoupled());
    EXPECT_TRUE(def->childAvailByType("TAG")->hasValidationRelaxed() &&
                !def->childAvailByType("TAG")->isCoupled());
    EXPECT_TRUE(def->childAvailByType("ITEM")->areNamesRestricted());

    EXPECT_EQ(def->getReferencedCheckNames(ObjDependDef::PARAM),
              (Names{{"Colour", {"IsBig"}}, {"Depth", {"IsBig", "IsRed"}}}));
    EXPECT_EQ(def->getReferencedCheckNames(ObjDependDef::CHILD),
              (Names{{"ITEM", {"IsBig", "IsRed"}}, {"TAG", {"IsRed"}}}));
    EXPECT_EQ(def->getReferencedListNames(ObjDependDef::CHILD), (Names{{"ITEM", {"ItemNames"}}}));
    EXPECT_THAT(def->getReferencedListNames(ObjDependDef::PARAM), IsEmpty());
    expectVisitsMatchMaps(*def);
    EXPECT_THAT(def->getUnusedParameters(), ElementsAre("Extra"));
    EXPECT_THAT(def->getUnusedChildren(), IsEmpty());
    EXPECT_THAT(def->getMissingChildren(), IsEmpty());

    EXPECT_TRUE(def->paramOrderPredicate("Size", "Colour"));
    EXPECT_FALSE(def->paramOrderPredicate("Colour", "Size"));
    EXPECT_TRUE(def->paramOrderPredicate("Colour", "Nothing"));
    EXPECT_FALSE(def->paramOrderPredicate("Nothing", "Other"));
    EXPECT_TRUE(def->childOrderPredicate("LID", "LID"));
    EXPECT_FALSE(def->childOrderPredicate("TAG", "ITEM"));

    // The records evaluate the engine's checks and lists against the model.
    const auto model = TARNModel::fromText(
        "BOX: big\n Size = 20\n Colour = red\nEND\n"
        "BOX: small\n Size = 2\n Colour = red\nEND\n");
    EvalContext eval(*model);
    const TARNContext big("/BOX:big");
    const TARNContext small("/BOX:small");
    EXPECT_TRUE(def->childAvailByType("ITEM")->evaluate(big, &eval));
    EXPECT_FALSE(def->childAvailByType("ITEM")->evaluate(small, &eval));
    EXPECT_FALSE(def->paramAvailByName("Depth")->evaluate(small, &eval));
    std::vector<std::string> names;
    def->childAvailByType("ITEM")->evaluateAllowedNames(big, &eval, names);
    EXPECT_THAT(names, ElementsAre("i1", "i2"));
}

TEST_F(ObjDependDefTest, CursorsUseSortedOptionSelectors) {
    const auto def = build("BOX", boxData());
    // Children LID, ITEM, LABEL, TAG; TAG exists under option a only.
    EXPECT_THAT(childFlags(*def, "a"), ElementsAre(true, true, true, true));
    EXPECT_THAT(childFlags(*def, "b"), ElementsAre(true, true, true, false));
    EXPECT_THAT(childFlags(*def, ""), ElementsAre(true, true, true, false));
    EXPECT_THAT(childFlags(*def, "unknown"), ElementsAre(true, true, true, false));

    // Depth (third) exists under a and b; "b, a, c" is sorted, so a is 1, b is 2, c is 3.
    PACursor cursor;
    auto r = def->firstParamAvail(cursor);
    EXPECT_EQ(r.first->getName(), "Mode");
    EXPECT_TRUE(r.second);
    EXPECT_EQ(def->nextParamAvail(cursor, "c").first->getName(), "Size");
    r = def->nextParamAvail(cursor, "");  // keeps c
    EXPECT_EQ(r.first->getName(), "Depth");
    EXPECT_FALSE(r.second);
    EXPECT_TRUE(def->nextParamAvail(cursor, "b").second);  // Colour
    EXPECT_EQ(def->nextParamAvail(cursor, ""), ObjDependDef::ParamResult(nullptr, false));

    def->firstParamAvail(cursor);
    def->nextParamAvail(cursor, "a");
    EXPECT_TRUE(def->nextParamAvail(cursor, "").second);  // Depth under a
}

TEST_F(ObjDependDefTest, ContextRuleInformationAndOptionLists) {
    const auto info = build("BOX", boxData())->getContextRuleInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->contextRuleParam + " " + info->orderedAllowedOptionList + " " +
                  info->subsetAllowedOptionList + " " + info->allowedOptionCheckList + " " +
                  info->overrideOptionCheckList + " " + info->defaultValue,
              "Mode b,a,c a,b a,IsBig,b,() *Chosen,IsRed a");
    EXPECT_EQ(info->defaultKind, ObjDependDef::ContextRuleInfo::FIXED_DEFAULT);
    const auto checked =
        build("BOX", box("Default Option =; Default Option Check List = *F, IsRed, b, ()"))
            ->getContextRuleInfo();
    EXPECT_EQ(checked->defaultKind, ObjDependDef::ContextRuleInfo::CHECKED_DEFAULT);
    EXPECT_EQ(checked->defaultValue, "*F,IsRed,b,()");

    // Without an unused list, RULES options the ordered list leaves out become unused.
    const auto partial = build(
        "BOX",
        box("Ordered Allowed Option List = b; Subset Allowed Option List =; Allowed Option Check "
            "List =; Ordered Optional Child List = ITEM, LABEL; Child Check List = ITEM, IsBig"));
    EXPECT_THAT(partial->getUnusedAllowedOptionList(), ElementsAre("a", "c"));

    // A type without context rule ignores every option key; its masks have one bit.
    const auto plain =
        build("PLAIN", test::params("Ordered Allowed Option List = x, y; Ordered Required "
                                    "Parameter List = Size; Ordered Optional Child List = ITEM"));
    EXPECT_EQ(plain->getContextRuleInfo(), nullptr);
    EXPECT_THAT(childFlags(*plain, "x"), ElementsAre(true));
    EXPECT_THAT(plain->getUnusedParameters(), ElementsAre("Colour"));
    EXPECT_THAT(plain->getUnusedChildren(), ElementsAre("LABEL"));

    // Keys the definition does not read, sorting before, between and after those it does
    // (some differing from one only in case, length or a blank), change nothing.
    Params noisy = boxData();
    for (const char* key : {"", "A", "Child", "Child Check List ", "Default option",
                            "Ordered Required Parameter Lis", "Subset", "Unused", "zz"})
        noisy[key] = "ITEM";
    const auto plainDef = build("BOX", boxData());
    const auto noisyDef = build("BOX", noisy);
    EXPECT_EQ(noisyDef->getOrderedParamNames(), plainDef->getOrderedParamNames());
    EXPECT_EQ(noisyDef->getOrderedReqChildTypes(), plainDef->getOrderedReqChildTypes());
    EXPECT_EQ(noisyDef->getOrderedOptChildTypes(), plainDef->getOrderedOptChildTypes());
    EXPECT_EQ(noisyDef->getUnusedParameters(), plainDef->getUnusedParameters());
    EXPECT_EQ(noisyDef->getReferencedCheckNames(ObjDependDef::CHILD),
              plainDef->getReferencedCheckNames(ObjDependDef::CHILD));
    EXPECT_EQ(noisyDef->getReferencedListNames(ObjDependDef::CHILD),
              plainDef->getReferencedListNames(ObjDependDef::CHILD));
    expectVisitsMatchMaps(*noisyDef);
    EXPECT_EQ(noisyDef->getContextRuleInfo()->subsetAllowedOptionList, "a,b");
}

// Accepting the RULES children, unused items with and without a list, children treated as
// optional or coupled.
TEST_F(ObjDependDefTest, ChildAndUnusedListVariants) {
    const auto accepting = build("PLAIN", test::params("Accept Children = True"));
    EXPECT_THAT(accepting->getOrderedOptChildTypes(), ElementsAre("ITEM", "LABEL"));
    EXPECT_THAT(accepting->getOrderedParamNames(), IsEmpty());
    EXPECT_EQ(failure("PLAIN", {{"Accept Children", "yes"}, {"Unused Child List", "ITEM"}}),
              "ObjDependDef::initAcceptChildren - the OBJECT DEPENDENCY for type PLAIN, has a "
              "True \"Accept Children\" parameter but *other* parameters are also defined. It "
              "should be the only parameter if present and True.");
    const auto ignored =
        build("PLAIN", test::params("Accept Children = false; Unused Child List = ITEM"));
    EXPECT_THAT(ignored->getOrderedChildTypes(), IsEmpty());
    EXPECT_THAT(ignored->getUnusedChildren(), ElementsAre("ITEM", "LABEL"));

    // Without an unused list, RULES parameters no list names are unused when validating.
    Params implicit = boxData();
    implicit.erase("Unused Parameter List");
    EXPECT_THAT(build("BOX", implicit)->getUnusedParameters(), ElementsAre("Extra"));
    EXPECT_THAT(build("BOX", implicit, false)->getUnusedParameters(), IsEmpty());
    // An essential child no list mentions is unused, never an error.
    EXPECT_THAT(build("BOX", box("Ordered Required Child List ="))->getUnusedChildren(),
                ElementsAre("LID"));
    EXPECT_THAT(
        failure("BOX",
                box("Ordered Optional Parameter List =; Parameter Check List = Depth, IsBig")),
        HasSubstr("the parameter \"Colour\" is defined for object type \"BOX\" in RULES "
                  "but is not referenced in the PHYSICS dependency data for the type."));

    // A child treated as optional leaves the required list.
    Params params = {{"Ordered Required Child List", "ITEM, LABEL"},
                     {"Treat As Optional Child List", "LABEL"},
                     {"Coupled Optional Child List", "LABEL"},
                     {"Default Child Name List", "ITEM, ItemNames"}};
    const auto def = build("PLAIN", params, false);
    EXPECT_THAT(def->getOrderedReqChildTypes(), ElementsAre("ITEM"));
    EXPECT_TRUE(def->childAvailByType("LABEL")->isCoupled());
    EXPECT_TRUE(def->childAvailByType("ITEM")->anyDefaultNames());
    params["Coupled Optional Child List"] = "";
    EXPECT_FALSE(build("PLAIN", params, false)->childAvailByType("LABEL")->isCoupled());
}

// One fault in otherwise valid BOX data, and the exact message it gives. (A parameter that
// no RULES context allows is pinned by the tool's tests, tests/tool/query.)
struct Fault {
    const char* changes;
    bool validate;
    std::string message;
};

TEST_F(ObjDependDefTest, EachFaultGivesItsMessage) {
    const std::string crInfo =
        "ObjDependDef::initContextRuleInfo - in the OBJECT DEPENDENCY data "
        "for type BOX, ";
    const std::string param = "ObjDependDef::verifyParamAvail - ";
    const std::string child = "ObjDependDef::verifyChildAvail - ";
    const std::string names = "ObjDependDef::initChildAvailNameList - in ";
    const std::string defNames =
        "ObjDependDef::initDefaultChildNameList - in data for object type "
        "\"BOX\", the child object ";
    const std::string listed = "in PHYSICS object dependency for type \"BOX\", the object name \"";
    const std::vector<Fault> faults = {
        {"Default Option Check List = a, IsRed", false,
         crInfo + "BOTH parameters \"Default Option\" and \"Default Option Check List\" are "
                  "specified."},
        {"Ordered Allowed Option List = c; Unused Allowed Option List = a", false,
         crInfo + "the following values are missing from the Ordered Allowed Option List or "
                  "Unused Allowed Option List parameters: \"b\",  and a partial Unused Allowed "
                  "Option List exists. Please complete the lists or remove the Unused Allowed "
                  "Option List"},
        {"Unused Allowed Option List = a", false,
         "ObjDependDef::processOptList - in the \"Unused Allowed Option List\" parameter of the "
         "OBJECT DEPENDENCY data for type BOX, the allowed value \"a\" is referenced, but this "
         "does not appear in the RULES definition of the object."},
        {"Ordered Allowed Option List = a, b, a", false,
         "ObjDependDef::processOptList - in the \"Ordered Allowed Option List\" parameter of the "
         "OBJECT DEPENDENCY data for type BOX, the allowed value \"a\" is referenced, but this "
         "does not appear in the RULES definition of the object."},
        {"Allowed Option Check List = *F, IsRed", true,
         crInfo + "the option value \"*F\" that appears in the \"Allowed Option Check List\" "
                  "parameter is not recognised."},
        {"Subset Allowed Option List = z, a, x, z", true,
         "ObjDependDef::verifySubsetAllowedOptions - in the OBJECT DEPENDENCY data for type BOX, "
         "the following values in the parameter \"Subset Allowed Option List\" are not known "
         "from the \"Ordered Allowed Option List\": x,z"},
        {"Ordered Optional Child List = BOX", false,
         "ObjDependDef::makeChildMask - Internal error: the child object BOX in object \"BOX\" "
         "is not allowed in any RULES CONTEXT!"},
        {"Parameter Check List = Extra, IsBig", false,
         "ObjDependDef::findParamAvail - in data for object type BOX, the referenced parameter "
         "Extra does not exist in the 'ordered' lists"},
        {"Child Check List = GONE, IsBig; Child Name List = LID, LidNames", false,
         "ObjDependDef::initChildAvailChecks - in data for object type \"BOX\", the child object "
         "GONE referenced in the check list does not exist in the 'ordered' lists"},
        {"Ordered Required Parameter List = Depth, Mode, Size", true,
         param + "the parameter \"Depth\" appears before the context rule parameter in the "
                 "PHYSICS dependency data for object type \"BOX\" but depends on the value of the "
                 "context rule parameter!"},
        {"Ordered Optional Parameter List = Colour, Size; Coupled Optional Child List = LID", true,
         param + "the parameter Size, has multiple inconsistent references in the PHYSICS "
                 "dependency data for object type \"BOX\". Appears in more than one of the "
                 "parameter lists."},
        {"Unused Parameter List = Size", true,
         param + "in PHYSICS object dependency for type BOX, the parameter \"Size\" appears in the "
                 "Unused Parameter List but this is not an optional parameter according to the "
                 "RULES data."},
        {"Ordered Required Parameter List = Mode, Depth; Ordered Optional Parameter List = Colour, "
         "Size",
         true,
         param + "the parameter \"Size\", is optional in the PHYSICS dependency data for object "
                 "type \"BOX\" but is essential in RULES."},
        {"Child Name List = ITEM, ItemNames, LABEL", false,
         names + "the data for object type BOX, there are an odd number of values in the list "
                 "Child Name List."},
        {"Child Name List = LID, LidNames", false,
         names + "data for object type \"BOX\", the child object LID has a \"Child Name List\" "
                 "parameter despite being a singleton object."},
        {"Default Child Name List = GONE, LidNames", false,
         names + "data for object type \"BOX\", the child object GONE referenced in the name "
                 "list does not exist in the 'ordered' lists"},
        {"Default Child Name List = ITEM, ItemNames", false,
         defNames + "ITEM referenced in the check list has a restricted name."},
        {"Default Child Name List = LABEL, ItemNames", false,
         defNames + "LABEL referenced in the check list is optional and  must be a required "
                    "object"},
        {"Ordered Optional Child List = ITEM, LABEL, TAG, LID", true,
         child + "the object type \"LID\", has multiple inconsistent references in the PHYSICS "
                 "dependency data for object type \"BOX\". Appears in more than one of the child "
                 "lists."},
        {"Unused Child List = LID", true,
         child + "in PHYSICS object dependency for type \"BOX\", the child object \"LID\" appears "
                 "in the \"Unused Child List\" but this is not an optional child according to the "
                 "RULES data."},
        {"Treat As Optional Child List = LID", true,
         child + "the object type \"LID\", is optional in the PHYSICS dependency data for object "
                 "type \"BOX\" but is essential in RULES."},
        {"Coupled Optional Child List = LID", true,
         child + listed +
             "LID\" referenced in the \"Coupled Optional Child List\" is not an "
             "optional object according to the RULES data."},
        {"Treat As Optional Child List = LIDD", true,
         child + listed +
             "LIDD\" referenced in the \"Treat As Optional Child List\" is not a "
             "valid type according to the RULES data."},
    };
    for (const Fault& fault : faults) {
        EXPECT_EQ(failure("BOX", box(fault.changes), fault.validate), fault.message)
            << fault.changes;
        // Validation faults appear only with validation on.
        if (fault.validate) {
            EXPECT_EQ(failure("BOX", box(fault.changes), false), "");
        }
    }
    // Errors of the check-list syntax and of the data source pass through.
    EXPECT_THAT(failure("BOX", box("Child Check List = ITEM, (IsBig")),
                HasSubstr("is invalidly parenthesised."));
    EXPECT_THAT(failure("BOX", box("Allowed Option Check List = a, IsBig, b")),
                HasSubstr("contains an odd number of entries"));
    EXPECT_THROW(build("BOX", box("Child Check List = ITEM, NoSuchCheck")), std::exception);

    // Without a data source only data that names no checks or lists can be built.
    const Params plain = {{"Ordered Optional Child List", "ITEM"}};
    EXPECT_NO_THROW(ObjDependDef("PLAIN", plain, s_rules.get(), nullptr, true));
    for (const auto& [key, value] :
         Params{{"Child Check List", "ITEM, IsBig"}, {"Child Name List", "ITEM, ItemNames"}}) {
        Params named = plain;
        named[key] = value;
        EXPECT_THROW(ObjDependDef("PLAIN", named, s_rules.get(), nullptr, true), PhysicsException)
            << key;
    }
}

// The availability records and their questions on their own.

// By check name whatever the kind; then object before parameter before parameter value;
// then by subject, the empty value first and a byte-wise prefix before what it starts.
TEST(AvailDataTest, OrdersByCheckNameThenKindThenSubject) {
    const AvailData sorted[] = {
        {AvailData::OBJ_AVAIL, "a", "Z"},           {AvailData::PARAM_AVAIL, "a", "Z"},
        {AvailData::PARAM_VAL_AVAIL, "a", "P", ""}, {AvailData::PARAM_VAL_AVAIL, "a", "P", "x"},
        {AvailData::OBJ_AVAIL, "b", "AB"},          {AvailData::OBJ_AVAIL, "b", "ABC"}};
    for (std::size_t i = 0; i < std::size(sorted); ++i) {
        for (std::size_t j = 0; j < std::size(sorted); ++j) {
            EXPECT_EQ(sorted[i] < sorted[j], i < j) << i << " " << j;
            EXPECT_EQ(sorted[i] == sorted[j], i == j) << i << " " << j;
        }
    }
}

// A record's checks are a lazy conjunction, ended by the first that fails; a name list
// replaces the names it is given, and a record without one leaves them.
TEST_F(ObjDependDefTest, RecordsEvaluateChecksLazilyAndReplaceNames) {
    testing::FakeSource source;
    const testing::FakeCheck* pass = source.addCheck("pass", true);
    source.addCheck("fail", false);
    const testing::FakeCheck* later = source.addCheck("later", true);
    source.addList("names", {"in", "out"});
    const ObjDependDef def("PLAIN",
                           test::params("Ordered Required Parameter List = Size; Ordered Optional "
                                        "Parameter List = Colour; Parameter Check List = Colour, "
                                        "(pass, fail, later); Ordered Optional Child List = ITEM, "
                                        "LABEL; Child Check List = ITEM, (pass, later), LABEL, "
                                        "(), ITEM, pass; "
                                        "Child Name List = ITEM, names"),
                           s_rules.get(), &source, true);
    const TARNContext context("/PLAIN:p");
    EXPECT_FALSE(def.paramAvailByName("Colour")->evaluate(context, nullptr));
    EXPECT_EQ(pass->evaluations, 1);
    EXPECT_EQ(later->evaluations, 0);
    EXPECT_TRUE(def.childAvailByType("ITEM")->evaluate(context, nullptr));
    EXPECT_EQ(later->evaluations, 1);
    EXPECT_THAT(def.childAvailByType("ITEM")->getReferencedCheckNames(),
                ElementsAre("pass", "later", "pass"));
    EXPECT_TRUE(def.childAvailByType("LABEL")->evaluate(context, nullptr));

    std::vector<std::string> names{"kept"};
    def.childAvailByType("LABEL")->evaluateAllowedNames(context, nullptr, names);
    def.childAvailByType("LABEL")->evaluateDefaultNames(context, nullptr, names);
    EXPECT_THAT(names, ElementsAre("kept"));
    def.childAvailByType("ITEM")->evaluateAllowedNames(context, nullptr, names);
    EXPECT_THAT(names, ElementsAre("in", "out"));
    // Restricted names couple a child to its parent.
    EXPECT_TRUE(def.childAvailByType("ITEM")->isCoupled());
    EXPECT_FALSE(def.childAvailByType("LABEL")->isCoupled());
}

// A type with more options than one machine word has bits for: the selectors on both
// sides of the word boundary and the last one keep their own bits.
TEST(ObjDependDefManyOptionsTest, SelectorsPastSixtyFourKeepTheirBits) {
    std::string options;  // o00 to o69, already in sorted order: option oNN is selector NN + 1
    for (int i = 0; i < 70; ++i) {
        if (i != 0) options += ", ";
        options += "o";
        options += char('0' + i / 10);
        options += char('0' + i % 10);
    }
    const InternalTARNDatastore ds(
        test::tarn("RULES:\n"
                   "  PARAMETER: Mode { Parameter Type = String; Allowed String List = " +
                   options +
                   " }\n"
                   "  SINGLETON: ROOT { Optional Child List = WIDE }\n"
                   "  OBJECT: WIDE\n"
                   "    Context Rule = Mode\n"
                   "    Allowed Option List = " +
                   options +
                   "\n"
                   "    Essential Parameter List = Mode\n"
                   "    CONTEXT: o62 { Optional Child List = TAG }\n"
                   "    CONTEXT: o63 { Optional Child List = TAG }\n"
                   "    CONTEXT: o69 { Optional Child List = TAG }\n"
                   "  END\n"
                   "  OBJECT: TAG {}\n"
                   "END\n"),
        InternalTARNDatastore::TEXT);
    const ModelRules rules(&ds);
    const ObjDependDef def(
        "WIDE",
        {{"Ordered Required Parameter List", "Mode"}, {"Ordered Optional Child List", "TAG"}},
        &rules, nullptr, true);
    std::string applies;
    for (const char* option : {"o61", "o62", "o63", "o64", "o68", "o69"}) {
        CACursor cursor;
        applies += def.firstChildAvail(cursor, option).second ? '1' : '0';
    }
    EXPECT_EQ(applies, "011001");
}

}  // namespace
}  // namespace kel
