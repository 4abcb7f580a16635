// The form file zelform runs (JSON; see host/README.md): the form's name, caption and size,
// and its controls, frames and tab controls in the order they are made. Portable.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/zelform/FileValue.h"

namespace zelmor::host {

struct FormItem {
    enum class Kind { Control, Frame, Tab };

    Kind kind = Kind::Control;
    std::string name;
    int left = 0, top = 0, width = 0, height = 0;  // pixels, in the container
    std::string container;  // a frame or tab control named before; empty: the form
    int page = 0;           // inside a tab control: the page

    // A control: one of the two identifiers, and its properties in file order.
    std::string programId;
    std::string classId;
    std::vector<std::pair<std::string, FileValue>> properties;

    // A frame: its caption and window class (empty: the class of the form's mode).
    std::string caption;
    std::string frameClass;
    // A tab control: the captions of its pages.
    std::vector<std::string> pages;
};

struct FormFile {
    std::string name;
    std::string caption;
    int width = 0, height = 0;  // of the client area, in pixels
    std::vector<FormItem> items;
};

// Reads a form file's text; a mistake throws FileError naming its place.
FormFile ParseFormFile(const std::string& text);

// The text of a form file that ParseFormFile reads back as form: members left out where they
// hold what the reader would assume (a control's type, a page 0 outside a tab control, a
// frame's class of the form's mode). A number that JSON cannot write (not finite) throws
// FileError naming the property.
std::string WriteFormFile(const FormFile& form);

}  // namespace zelmor::host
