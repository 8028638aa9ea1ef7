#include "tests/support/qt/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/text_file.h"
#include "dialogs/dialog_answers.h"

namespace vt::test {

namespace fs = std::filesystem;

QStringList ledImageNames() {
    return {"led-gris.bmp", "led-orange.bmp", "led-rouge.bmp", "led-vert.bmp"};
}

ProgramFolder::ProgramFolder() {
    if (!m_dir.isValid()) {
        return;
    }
    m_root = QDir(m_dir.path()).canonicalPath().toStdString();
    std::error_code error;
    fs::create_directories(programDir(), error);
    fs::create_directories(driveC(), error);
    fs::create_directories(uncRoot(), error);
    m_previousWorkingDirectory = fs::current_path(error).string();
    // A manual "off" in a window test runs the real shutdown tool: without credentials it
    // stops before it asks anything of the network.
    qputenv("VANTOREL_SMB_AUTH", QByteArray::fromStdString(m_root + "/no-smb.auth"));
    qputenv("KRB5CCNAME", QByteArray::fromStdString("FILE:" + m_root + "/no-ticket"));
    // The batches run under a copy of vt_cmd whose folder holds the shutdown adapter but not
    // the name-service ones (net, nbtstat, arp): vt_cmd finds them missing, so a window test
    // that starts a NET VIEW or NBTSTAT job sends nothing onto the machine's network.
    fs::create_directories(toolsDir(), error);
    fs::copy_file(VT_BIN_DIR "/vt_cmd", toolsDir() + "vt_cmd", error);
    fs::create_symlink(VT_BIN_DIR "/vt_shutdown", toolsDir() + "vt_shutdown", error);
    bool copied = true;
    for (const QString& image : ledImageNames()) {
        copied = QFile::copy(QString(VT_SOURCE_DIR "/data/") + image,
                             QString::fromStdString(programDir()) + image) &&
                 copied;
    }
    m_valid = copied && !error;
}

ProgramFolder::~ProgramFolder() {
    std::error_code ignored;
    if (!m_previousWorkingDirectory.empty()) {
        fs::current_path(m_previousWorkingDirectory, ignored);
    }
    // Read-only files must not keep the folder from going.
    for (auto it = fs::recursive_directory_iterator(m_root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
}

void ProgramFolder::writeLines(std::string_view name, const std::vector<std::string>& lines) const {
    writeBytes(path(name), toWindows1252(joinLines(lines)));
}

void ProgramFolder::writeBytes(const std::string& absolutePath, std::string_view bytes) const {
    std::ofstream out(absolutePath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> ProgramFolder::readBytes(std::string_view name) const {
    std::ifstream in(path(name), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ProgramFolder::readLines(std::string_view name) const {
    const std::optional<std::string> bytes = readBytes(name);
    return bytes ? splitLines(fromWindows1252(*bytes)) : std::vector<std::string>{};
}

QStringList ProgramFolder::fileNames() const {
    QStringList names = QDir(QString::fromStdString(programDir()))
                            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

bool ProgramFolder::copyProgram() const {
    return QFile::copy(QString(VT_BIN_DIR "/Vantorel"),
                       QString::fromStdString(programDir()) + "Vantorel");
}

bool ProgramFolder::linkTool(std::string_view name) const {
    std::error_code error;
    fs::create_symlink(std::string(VT_BIN_DIR "/") + std::string(name), path(name), error);
    return !error;
}

ApplicationOptions ProgramFolder::options(bool localArgument) const {
    ApplicationOptions options;
    options.localArgument = localArgument;
    options.programDirectory = programDir();
    options.platform.driveCRoot = driveC();
    options.platform.uncRoot = uncRoot();
    options.platform.toolsDirectory = toolsDir();
    return options;
}

void requireDialogAnswers() {
    DialogAnswers::reset();
    DialogAnswers::requireAnswers(true);
}

QStringList unansweredDialogs() {
    QStringList result;
    for (const AskedDialog& dialog : DialogAnswers::asked()) {
        if (!dialog.answered) {
            result << dialog.caption + ": " + dialog.text;
        }
    }
    return result;
}

QStringList textLines(const QString& text) {
    return text.split('\n');
}

void clickCentre(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

QString screenshotFolder(const ProgramFolder& folder) {
    return qEnvironmentVariableIsSet("VT_SCREENSHOT_DIR")
               ? qEnvironmentVariable("VT_SCREENSHOT_DIR")
               : QString::fromStdString(folder.root());
}

}  // namespace vt::test
