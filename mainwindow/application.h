#pragma once

// The whole program in one object: its platform, its shared state, its services and its
// windows, created in the program's order. The program's main runs one; window tests build
// one in a temporary program folder.

#include <memory>
#include <optional>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "core/test_clock.h"
#include "platform/native_platform.h"
#include "qt/led_images.h"
#include "status/inventory_exports.h"

namespace vt {

class QtClock;
class QtConsole;
class QtStatusSink;
class QtTimers;
class Tadvanced_timer;
class TAboutBox;
class TConsole;
class TEtatMachine;
class TficheMachine;
class TForm1;
class TMessageInfo;
class TNetScan;
class TOKBottomDlg;
class TPrefs;
class TsearchPDC;
class TerminationWatch;

struct ApplicationOptions {
    // The first argument was "local": no ESU import for this run.
    bool localArgument = false;
    // The program's folder, made the working directory and the data directory; by default the
    // directory of the running executable. Ends with the separator.
    std::optional<std::string> programDirectory;
    platform::PlatformConfig platform;
};

class Application {
public:
    // Creates every window; only the main window's creation has run its start-up. Nothing is
    // shown yet.
    explicit Application(const ApplicationOptions& options);
    ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Shows the main window, whose first showing greets and opens the console.
    void show();

    // The program's end, as "Quitter" does it: the console records its place, then the main
    // window saves the preferences and logs and cleans drive C; the event loop is then asked
    // to end. Runs once, whatever asked for it.
    void finish();
    bool finished() const { return m_finished; }

    // The system asks the program to end (SIGTERM, SIGINT), possibly while a box is open or
    // the windows are still being created: the timers stop, every open dialog closes, boxes
    // write to standard error from then on, and the program ends as "Quitter" ends it, saving
    // what the start could read. A second request while the first is handled ends at once.
    void requestTermination();

    VtlVar& state() { return m_state; }
    platform::Platform& platform() { return m_native->platform(); }
    const Services& services() const { return *m_services; }
    const LedImages& leds() const { return m_leds; }
    TForm1& mainWindow() { return *m_form; }
    TNetScan& netScan() { return *m_netScan; }
    TConsole& console() { return *m_console; }
    TAboutBox& aboutBox() { return *m_aboutBox; }
    TOKBottomDlg& textDialog() { return *m_textDialog; }
    TMessageInfo& messageInfo() { return *m_messageInfo; }
    Tadvanced_timer& scheduleEditor() { return *m_scheduleEditor; }
    TsearchPDC& groupSourceDialog() { return *m_searchPDC; }
    TEtatMachine& machineStatus() { return *m_etatMachine; }
    TPrefs& preferencesDialog() { return *m_prefs; }
    TficheMachine& machineSheet() { return *m_ficheMachine; }

private:
    std::unique_ptr<platform::NativePlatform> m_native;
    VtlVar m_state;
    LedImages m_leds;
    std::unique_ptr<QtConsole> m_consoleService;
    std::unique_ptr<QtStatusSink> m_statusService;
    std::unique_ptr<QtTimers> m_timers;
    std::unique_ptr<QtClock> m_clock;
    ProcessTime m_time;
    std::unique_ptr<Services> m_services;

    // The windows in their creation order; they go in the reverse order.
    // Read by the status window and the machine sheet alike.
    status::InventoryExports m_inventoryExports;
    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<TsearchPDC> m_searchPDC;
    std::unique_ptr<TNetScan> m_netScan;
    std::unique_ptr<TEtatMachine> m_etatMachine;
    std::unique_ptr<TAboutBox> m_aboutBox;
    std::unique_ptr<TConsole> m_console;
    std::unique_ptr<TPrefs> m_prefs;
    std::unique_ptr<TOKBottomDlg> m_textDialog;
    std::unique_ptr<Tadvanced_timer> m_scheduleEditor;
    std::unique_ptr<TMessageInfo> m_messageInfo;
    std::unique_ptr<TficheMachine> m_ficheMachine;

    std::unique_ptr<TerminationWatch> m_terminationWatch;
    bool m_finished = false;
    bool m_terminating = false;
    bool m_created = false;
};

}  // namespace vt
