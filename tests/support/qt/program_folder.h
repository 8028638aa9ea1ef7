#pragma once

// A fresh program folder for window tests: the four LED images in it, drive C, the UNC root
// and the batch interpreter beside it, and the options that build the whole program there
// in-process.

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mainwindow/application.h"

class QWidget;

namespace vt::test {

class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();

    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    bool isValid() const { return m_valid; }
    // The program folder, ending with "/".
    std::string programDir() const { return m_root + "/prog/"; }
    std::string driveC() const { return m_root + "/drive_c/"; }
    std::string uncRoot() const { return m_root + "/unc/"; }
    // Where the program finds vt_cmd, ending with "/".
    std::string toolsDir() const { return m_root + "/tools/"; }
    std::string root() const { return m_root; }
    std::string path(std::string_view name) const { return programDir() + std::string(name); }

    // Lines written as the program writes its files: Windows-1252, CR LF.
    void writeLines(std::string_view name, const std::vector<std::string>& lines) const;
    void writeBytes(const std::string& absolutePath, std::string_view bytes) const;
    std::optional<std::string> readBytes(std::string_view name) const;
    // The file's lines in UTF-8; empty when it cannot be read.
    std::vector<std::string> readLines(std::string_view name) const;
    // Names in the program folder, sorted.
    QStringList fileNames() const;
    // Copies the built program into the folder, for tests that run it as a process.
    bool copyProgram() const;
    // Puts a built tool beside the program, as an installation has it (a link to build/bin).
    bool linkTool(std::string_view name) const;

    ApplicationOptions options(bool localArgument = false) const;

private:
    QTemporaryDir m_dir;
    std::string m_root;
    std::string m_previousWorkingDirectory;
    bool m_valid = false;
};

// The four images of the installation.
QStringList ledImageNames();

// Readies the dialog-answer hook for a window test: answers required, nothing queued or
// recorded. Dialogs that found no answer are listed by unansweredDialogs().
void requireDialogAnswers();
QStringList unansweredDialogs();

// The lines of a console-like text area.
QStringList textLines(const QString& text);

// A left click in the middle of a control, as the user clicks a button, a box or a label.
void clickCentre(QWidget* control);

// Where a test writes its pictures: $VT_SCREENSHOT_DIR (docs/screenshots of the repository)
// when set, otherwise the test's own folder, which checks only that they can be taken.
QString screenshotFolder(const ProgramFolder& folder);

}  // namespace vt::test
