#include "dialogs/report_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/window_style.h"

namespace vt {

ReportWindow::ReportWindow(const QString& report, QWidget* parent)
    : AnswerableDialog(parent), m_report(report) {
    setObjectName("ReportWindow");
    setWindowTitle("Rapport");
    setFont(designFont(8));
    resize(760, 420);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("reportText");
    m_text->setReadOnly(true);
    // Each incident keeps its line, and the title's row of "=" stays as long as the title.
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* close = new QPushButton("Fermer", this);
    close->setObjectName("closeButton");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
}

void ReportWindow::fill() {
    m_text->setPlainText(m_report);
}

}  // namespace vt
