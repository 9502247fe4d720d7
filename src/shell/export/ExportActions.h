#pragma once

#include "Export.h"

#include <QObject>
#include <QPointer>

class BasicVC;
class QShortcut;
class QWidget;

// Export and print on a screen: Ctrl+S (and the screen's "导出" bar button, through offer())
// offers CSV, PNG and PDF in an action sheet, then a save dialog in the documents folder; Ctrl+P
// prints every view. The screen hands over what it shows through `source`, read once as the
// dialog opens: the file holds that, whatever the screen reloads meanwhile. Every write ends in a
// toast naming the file: written, or why not. The screen may go while a dialog is open (a
// sign-out): the dialog goes with it and nothing is written or printed.
class ExportActions : public QObject {
    Q_OBJECT
public:
    using Source = std::function<ExportDocument()>;

    ExportActions(QWidget *screen, Source source);

    // "导出" in the current language.
    static QString buttonTitle();
    // A window at least this wide is no phone: the bar has room for "导出".
    static constexpr int BarButtonWidth = 600;
    // The "导出" bar button of `screen` (its click calls the screen's rightBarButtonItemPressed()),
    // only while the window is at least BarButtonWidth wide: a phone's bar stays as it was
    // designed. Ctrl+S and Ctrl+P work at every width.
    static void showBarButtonWhenWide(BasicVC *screen);

    // The action sheet of formats; a choice opens the save dialog.
    void offer();
    // The save dialog for `format`; nothing is written when it is cancelled. A list too long for
    // a picture says so at once, without the dialog.
    void chooseFileAndExport(Export::Format format);
    // Writes what the screen shows to `path` without asking and shows the toast.
    Export::Result exportTo(Export::Format format, const QString &path);
    static Export::Result exportTo(Export::Format format, const QString &path,
                                   const ExportDocument &shown);
    // The print dialog, then every view a page.
    void print();

    ExportDocument document() const { return m_source ? m_source() : ExportDocument(); }
    QShortcut *saveShortcut() const { return m_save; }
    QShortcut *printShortcut() const { return m_print; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyTexts();

    QPointer<QWidget> m_screen;
    Source m_source;
    QShortcut *m_save;
    QShortcut *m_print;
};
