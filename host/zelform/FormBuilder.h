// Builds a form from a form file: its frames, tab controls and controls in file order, each
// control created by its program or class identifier and loaded with its properties.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/Form.h"
#include "host/zelform/FormFile.h"

namespace zelmor::host {

// The form, shown. What could not be made or set goes into problems, one line each; the rest
// of the form is built all the same.
std::unique_ptr<Form> BuildForm(const FormFile& file, SiteMode mode,
                                std::vector<std::wstring>* problems);

}  // namespace zelmor::host
