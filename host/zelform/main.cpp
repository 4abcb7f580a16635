// zelform: runs a form file, by hand or from a script.
//
//   zelform FORM.json [--design] [--script SCRIPT.json] [--screenshot-dir DIR] [--events]
//           [--save FILE [--overwrite]]
//
// Without a script the form runs until it is closed. With one, the script's actions run, the
// form closes, and the exit status is the number of actions that failed (at most 125); 126
// means the command line, the form file or the script could not be used. With --save the form
// is written back to FILE after the script (or when the form is closed); FILE may be the form
// file that was read only with --overwrite. The file formats are described in host/README.md.
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/zelform/FormBuilder.h"
#include "host/zelform/FormFile.h"
#include "host/zelform/FormSaver.h"
#include "host/zelform/Script.h"
#include "host/zelform/ScriptRunner.h"
#include "host/zelform/WindowsText.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxAnswerer.h"

using namespace zelmor;
using namespace zelmor::host;

namespace {

constexpr int kMostFailures = 125;
constexpr int kUnusable = 126;

struct Options {
    std::wstring formPath;
    std::optional<std::wstring> scriptPath;
    std::wstring screenshotFolder;
    std::optional<std::wstring> savePath;
    bool design = false;
    bool events = false;
    bool overwrite = false;
};

const char kUsage[] =
    "usage: zelform FORM.json [--design] [--script SCRIPT.json] [--screenshot-dir DIR] "
    "[--events] [--save FILE [--overwrite]]\n";

bool ParseOptions(int count, wchar_t** arguments, Options* options) {
    for (int i = 1; i < count; ++i) {
        std::wstring argument = arguments[i];
        bool hasValue = i + 1 < count;
        if (argument == L"--design") {
            options->design = true;
        } else if (argument == L"--events") {
            options->events = true;
        } else if (argument == L"--overwrite") {
            options->overwrite = true;
        } else if (argument == L"--save" && hasValue) {
            options->savePath = arguments[++i];
        } else if (argument == L"--script" && hasValue) {
            options->scriptPath = arguments[++i];
        } else if (argument == L"--screenshot-dir" && hasValue) {
            options->screenshotFolder = arguments[++i];
        } else if (argument.rfind(L"--", 0) != 0 && options->formPath.empty()) {
            options->formPath = argument;
        } else {
            return false;
        }
    }
    return !options->formPath.empty() && (options->savePath || !options->overwrite);
}

// Writes the form to the --save file; false when it could not.
bool Save(const Options& options, const FormFile& file, const Form& form) {
    std::vector<std::wstring> notes;
    std::wstring problem =
        SaveForm(file, form, {*options.savePath, options.formPath, options.overwrite}, &notes);
    for (const std::wstring& note : notes) std::cout << "note " << ConsoleText(note) << std::endl;
    if (!problem.empty()) {
        std::cout << "FAIL save " << ConsoleText(problem) << std::endl;
        return false;
    }
    std::cout << "saved " << ConsoleText(*options.savePath) << std::endl;
    return true;
}

bool ReadFile(const std::wstring& path, std::string* text) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    *text = content.str();
    return static_cast<bool>(in);
}

int Run(const Options& options) {
    std::string formText, scriptText;
    if (!ReadFile(options.formPath, &formText)) {
        std::cout << "cannot read " << ConsoleText(options.formPath) << std::endl;
        return kUnusable;
    }
    if (options.scriptPath && !ReadFile(*options.scriptPath, &scriptText)) {
        std::cout << "cannot read " << ConsoleText(*options.scriptPath) << std::endl;
        return kUnusable;
    }
    FormFile formFile;
    std::vector<ScriptAction> actions;
    try {
        formFile = ParseFormFile(formText);
        if (options.scriptPath) actions = ParseScript(scriptText);
    } catch (const FileError& error) {
        std::cout << ConsoleText(std::string(error.what())) << std::endl;
        return kUnusable;
    }

    std::vector<std::wstring> problems;
    std::unique_ptr<Form> form;
    {
        // A control may show a message box while it is loaded (a dictionary it cannot open):
        // with a script nobody is at the screen, so the box gets its first button and counts
        // as a problem of the form, instead of waiting for ever.
        std::optional<platform::MessageBoxAnswerer> answerer;
        if (options.scriptPath) answerer.emplace();
        form = BuildForm(formFile, options.design ? SiteMode::Design : SiteMode::Run, &problems);
        if (answerer) {
            for (const auto& box : answerer->Boxes()) {
                problems.push_back(L"message box while loading: " +
                                   Wide(platform::AnsiToUtf8(box.text)));
            }
        }
    }
    for (const std::wstring& problem : problems) {
        std::cout << "FAIL form " << ConsoleText(problem) << std::endl;
    }
    if (!options.scriptPath) {
        // What the person made of the form is saved as the window closes.
        bool saved = true;
        if (options.savePath) {
            form->beforeClose = [&] { saved = Save(options, formFile, *form); };
        }
        form->Run();
        return saved ? 0 : 1;
    }
    ScriptRunner runner(*form, options.screenshotFolder, std::cout);
    runner.SetFormFile(formFile, options.formPath);
    if (options.events) runner.LogEvents();
    int failed = static_cast<int>(problems.size()) + runner.Run(actions);
    if (options.savePath && !Save(options, formFile, *form)) ++failed;
    form->Close();
    return std::min(failed, kMostFailures);
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    Options options;
    if (!arguments || !ParseOptions(count, arguments, &options)) {
        std::cout << kUsage;
        return kUnusable;
    }
    LocalFree(arguments);
    if (FAILED(OleInitialize(nullptr))) {
        std::cout << "OLE cannot be initialised" << std::endl;
        return kUnusable;
    }
    int status = Run(options);
    OleUninitialize();
    return status;
}
