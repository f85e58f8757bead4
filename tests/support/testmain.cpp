// The main of the test programs that use control models: a control that code
// reaches without declaring it fails the test that did it.

#include "console/controlmodel.h"

#include <gtest/gtest.h>

namespace {

void failUndeclared(int id, const char* use) {
    ADD_FAILURE() << "control " << id << " was " << use << " but is not declared";
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    orvane::ControlModel::setUndeclaredHandler(failUndeclared);
    return RUN_ALL_TESTS();
}
