#include "controls/tests/LockHolder.h"

#include <memory>
#include <string>
#include <vector>

#include "core/BoundOperations.h"
#include "core/DictionaryLoader.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "engine/tests/Workers.h"

namespace zelmor::testing {

namespace {

// Arguments: the dictionary's folder.
int HoldFirstCustomer(const std::vector<std::string>& arguments) {
    std::unique_ptr<FormContext> context;
    if (arguments.size() != 1 || LoadDictionaryFull(arguments[0], context) != 0) return 2;
    TableDef& customer = *context->TableByName("Customer");
    if (OpenTable(*context, customer, "", 0) != 0) return 3;
    if (DbAccessByID(customer, 12 + kLockSingleNoWait * 100, 0) != 0) return 4;
    engine::testing::Touch(arguments[0] + "/holding");
    if (!engine::testing::WaitForFile(arguments[0] + "/done")) return 5;
    return CloseTable(customer) == 0 ? 0 : 6;
}

const engine::testing::WorkerRegistration kHolder(kHoldFirstCustomer, HoldFirstCustomer);

}  // namespace

}  // namespace zelmor::testing
