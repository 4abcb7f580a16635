#include "core/Process.h"

#include "core/DbManager.h"
#include "values/GlobalOptions.h"

namespace zelmor {

void InitializeProcessState() {
    TheDbManager();
    Options();
}

}  // namespace zelmor
