#pragma once

// The report shown by the program itself, when no text viewer could be started to show it:
// the text, read-only and as written, and a button to close it.

#include <QString>

#include "dialogs/answerable_dialog.h"

class QPlainTextEdit;

namespace vt {

class ReportWindow : public AnswerableDialog {
    Q_OBJECT

public:
    explicit ReportWindow(const QString& report, QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return m_text; }

protected:
    void fill() override;
    QString prompt() const override { return m_report; }

private:
    QString m_report;
    QPlainTextEdit* m_text = nullptr;
};

}  // namespace vt
