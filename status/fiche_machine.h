#pragma once

// The machine sheet "fiche Machine": what the address lists and the inventory exports say of
// the machine whose name was clicked in the status window. It only reads.

#include "core/VtlVar.h"
#include "dialogs/answerable_dialog.h"
#include "platform/platform.h"
#include "status/inventory_exports.h"

class QLabel;
class QPlainTextEdit;

namespace vt {

class TficheMachine : public AnswerableDialog {
    Q_OBJECT

public:
    TficheMachine(VtlVar& state, const platform::FileSystem& files,
                  status::InventoryExports& exports, QWidget* parent = nullptr);

    // Fills the sheet for CurrentMachine; an export that exists but cannot be read is shown as
    // a file error and leaves the sheet as it was.
    void FormActivate();

    QLabel* field(const char* name) const;
    QPlainTextEdit* fiche_logiciels() const { return m_logiciels; }

protected:
    void fill() override { FormActivate(); }
    QString prompt() const override;

private:
    QLabel* addValue(QWidget* parent, const char* name, const QString& initial, QRect bounds);

    VtlVar& m_state;
    const platform::FileSystem& m_files;
    status::InventoryExports& m_exports;
    QPlainTextEdit* m_logiciels = nullptr;
};

}  // namespace vt
