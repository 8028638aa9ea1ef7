#include "mainwindow/application.h"

#include <QCoreApplication>

#include <cstdlib>
#include <iostream>

#include "dialogs/message_box.h"
#include "dialogs/uBottomdlg.h"
#include "dialogs/uSearchPC.h"
#include "dialogs/uapropos.h"
#include "dialogs/uprefs.h"
#include "discovery/scan.h"
#include "mainwindow/main.h"
#include "mainwindow/qt_services.h"
#include "mainwindow/uConsole.h"
#include "mainwindow/umessageinfo.h"
#include "power/utimer.h"
#include "qt/termination_watch.h"
#include "status/fiche_machine.h"
#include "status/machines.h"

namespace vt {

Application::Application(const ApplicationOptions& options)
    : m_native(platform::createNativePlatform(options.platform)),
      m_consoleService(std::make_unique<QtConsole>()),
      m_statusService(std::make_unique<QtStatusSink>()),
      m_timers(std::make_unique<QtTimers>()),
      m_clock(std::make_unique<QtClock>()) {
    QCoreApplication::setApplicationName("Vantorel");
    sendBoxesToStandardError(false);
    // Watched before any window exists: a box opened during the creation must not leave the
    // program deaf to the system's requests.
    m_terminationWatch = std::make_unique<TerminationWatch>([this] { requestTermination(); });
    platform::Platform& native = m_native->platform();
    m_time = chooseProcessTime(*m_clock, *m_timers, native.system, *m_consoleService);
    m_services = std::make_unique<Services>(
        Services{native, *m_consoleService, *m_statusService, *m_time.timers, *m_time.clock});

    // Files opened by bare name are the program folder's, wherever it was started from.
    const std::string folder =
        options.programDirectory.value_or(native.system.executableDirectory());
    native.system.setWorkingDirectory(folder);
    m_state.DataDir = folder;

    m_form = std::make_unique<TForm1>(m_state, *m_services, m_leds, options.localArgument);
    m_searchPDC =
        std::make_unique<TsearchPDC>(m_state, native, [this] { return m_form->windowGeometry(); });
    m_netScan = std::make_unique<TNetScan>(m_state, *m_services, m_form->jobs());
    m_etatMachine = std::make_unique<TEtatMachine>(m_state, *m_services, m_leds, m_form->jobs(),
                                                   m_inventoryExports);
    m_etatMachine->setPlacement([this] { return m_form->geometry().topLeft(); });
    m_aboutBox = std::make_unique<TAboutBox>();
    m_console = std::make_unique<TConsole>(m_state.Prefs);
    m_prefs = std::make_unique<TPrefs>(m_state);
    m_textDialog = std::make_unique<TOKBottomDlg>();
    m_scheduleEditor = std::make_unique<Tadvanced_timer>(m_state, native.files);
    // Its next day without power-on is the scheduler's, on the clock the process runs on.
    m_scheduleEditor->setClock(m_time.clock);
    m_scheduleEditor->setPlacement([this] { return m_form->scheduleEditorPlace(); });
    m_messageInfo = std::make_unique<TMessageInfo>();
    m_ficheMachine = std::make_unique<TficheMachine>(m_state, native.files, m_inventoryExports);
    m_etatMachine->setMachineSheet(m_ficheMachine.get());

    m_consoleService->attach(m_console.get());
    // Background jobs write their progress there even while the window is closed.
    m_statusService->attach(m_netScan->Status());
    TForm1::Peers peers{m_aboutBox.get(), m_console.get(), m_textDialog.get(), m_messageInfo.get(),
                        m_scheduleEditor.get()};
    peers.netScan = m_netScan.get();
    peers.groupSource = m_searchPDC.get();
    peers.machineStatus = m_etatMachine.get();
    peers.preferences = m_prefs.get();
    m_form->setPeers(peers);
    QObject::connect(m_form.get(), &TForm1::quitRequested, [this] { finish(); });
    m_created = true;
    if (m_terminating) {
        finish();
    }
}

Application::~Application() {
    finish();
    m_terminationWatch.reset();
    m_ficheMachine.reset();
    m_messageInfo.reset();
    m_scheduleEditor.reset();
    m_textDialog.reset();
    m_prefs.reset();
    m_console.reset();
    m_aboutBox.reset();
    m_etatMachine.reset();
    m_netScan.reset();
    m_searchPDC.reset();
    m_form.reset();
}

void Application::show() {
    m_form->show();
}

void Application::requestTermination() {
    if (m_terminating) {
        std::cerr << "Vantorel : deuxième demande d'arrêt, fin immédiate" << std::endl;
        std::_Exit(1);
    }
    m_terminating = true;
    sendBoxesToStandardError(true);
    if (m_form) {
        m_form->stopTimers();
    }
    m_timers->stopAll();
    closeOpenDialogs();
    // During the creation the windows are not all there: the end of the creation finishes.
    if (m_created) {
        finish();
    }
}

void Application::finish() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    // The console's place must be in the preferences before the main window writes them.
    m_console->FormDestroy();
    m_form->FormDestroy();
    m_messageInfo->hide();
    m_etatMachine->hide();
    m_console->hide();
    m_form->hide();
    QCoreApplication::exit(0);
}

}  // namespace vt
