#include <kel/physicschecks/CheckRegistrar.h>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/DefaultProductCreator.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsutils/PhysicsStrings.h>

#include "AllCheck.h"
#include "AnyCheck.h"
#include "BetaFeatureCheck.h"
#include "ChildExistsCheck.h"
#include "ConstantCheck.h"
#include "FixedList.h"
#include "ForEachObjectCheck.h"
#include "NotCheck.h"
#include "NumericTestCheck.h"
#include "ObjectExistsCheck.h"
#include "ObjectNamesList.h"
#include "ParameterValueCheck.h"
#include "ParameterValuesList.h"
#include "UnionList.h"
#include "ValueInListCheck.h"

namespace kel {

namespace {

template <class T, class Concrete>
void add(PhysicsFactory<T>* factory, const std::string& type) {
    factory->registerCreator(type, std::make_unique<DefaultProductCreator<T, Concrete>>());
}

}  // namespace

CheckRegistrar::CheckRegistrar(PhysicsFactory<Check>* checks, PhysicsFactory<List>* lists,
                               PhysicsFactory<GlobalCheck>* globalChecks,
                               const PhysicsFunctionStore* /*functions*/) {
    if (checks) {
        add<Check, ParameterValueCheck>(checks, "Parameter Value");
        add<Check, NumericTestCheck>(checks, "Numeric Test");
        add<Check, ChildExistsCheck>(checks, "Child Exists");
        add<Check, ObjectExistsCheck>(checks, "Object Exists");
        add<Check, AllCheck>(checks, "All");
        add<Check, AnyCheck>(checks, "Any");
        add<Check, NotCheck>(checks, "Not");
        add<Check, ValueInListCheck>(checks, "Value In List");
        add<Check, ConstantCheck>(checks, "Constant");
        add<Check, BetaFeatureCheck>(checks, PhysicsStrings::s_Beta);
    }
    if (lists) {
        add<List, FixedList>(lists, "Fixed");
        add<List, ObjectNamesList>(lists, "Object Names");
        add<List, ParameterValuesList>(lists, "Parameter Values");
        add<List, UnionList>(lists, "Union");
    }
    if (globalChecks) add<GlobalCheck, ForEachObjectCheck>(globalChecks, "For Each Object");
}

}  // namespace kel
