#include "ExportActions.h"

#include "ActionSheet.h"
#include "BasicVC.h"
#include "Toast.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>

#include <iterator>

namespace {

constexpr Export::Format Formats[] = {Export::Format::Csv, Export::Format::Png,
                                      Export::Format::Pdf};

QString filterFor(Export::Format format) {
    switch (format) {
    case Export::Format::Csv:
        //: A file dialog's filter; the sheet of formats shows the words before the pattern.
        return QCoreApplication::translate("ExportActions", "CSV 表格 (*.csv)");
    case Export::Format::Png:
        return QCoreApplication::translate("ExportActions", "PNG 图片 (*.png)");
    case Export::Format::Pdf:
        break;
    }
    return QCoreApplication::translate("ExportActions", "PDF 文档 (*.pdf)");
}

} // namespace

ExportActions::ExportActions(QWidget *screen, Source source)
    : QObject(screen)
    , m_screen(screen)
    , m_source(std::move(source))
    , m_save(new QShortcut(QKeySequence::Save, screen))
    , m_print(new QShortcut(QKeySequence::Print, screen)) {
    m_save->setObjectName(QStringLiteral("exportShortcut"));
    connect(m_save, &QShortcut::activated, this, &ExportActions::offer);
    m_print->setObjectName(QStringLiteral("printShortcut"));
    connect(m_print, &QShortcut::activated, this, &ExportActions::print);
    applyTexts();
    screen->installEventFilter(this);
}

QString ExportActions::buttonTitle() {
    return tr("导出");
}

void ExportActions::applyTexts() {
    // What the key sheet (F1) shows beside the keys.
    m_save->setWhatsThis(buttonTitle());
    m_print->setWhatsThis(tr("打印"));
}

bool ExportActions::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_screen && event->type() == QEvent::LanguageChange)
        applyTexts();
    return QObject::eventFilter(watched, event);
}

void ExportActions::offer() {
    QStringList titles;
    // The filter's words without the pattern, however many words the language uses.
    for (Export::Format format : Formats)
        titles.append(filterFor(format).section(QStringLiteral(" ("), 0, 0));
    QPointer<ExportActions> self(this);
    ActionSheet::show(buttonTitle(), tr("取消"), titles, [self](int index) {
        if (self && index >= 0 && index < int(std::size(Formats)))
            self->chooseFileAndExport(Formats[index]);
    });
}

void ExportActions::chooseFileAndExport(Export::Format format) {
    const ExportDocument shown = document();
    if (format == Export::Format::Png &&
        !Export::fitsPicture(shown.currentView(), shown.screenWidth)) {
        Toast::show(Export::tooLongForPictureText(), 3.0);
        return;
    }
    const QFileInfo suggested(Export::suggestedPath(shown.nameParts, QDate::currentDate(), format));
    // On the heap and watched: a screen that goes during exec() deletes the dialog, and these
    // actions with it.
    QPointer<QFileDialog> dialog =
        new QFileDialog(m_screen, buttonTitle(), suggested.absolutePath(), filterFor(format));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->selectFile(suggested.fileName());
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return;
    const QStringList chosen = dialog->selectedFiles();
    delete dialog;
    if (accepted && !chosen.isEmpty() && !chosen.first().isEmpty())
        exportTo(format, chosen.first(), shown);
}

Export::Result ExportActions::exportTo(Export::Format format, const QString &path) {
    return exportTo(format, path, document());
}

Export::Result ExportActions::exportTo(Export::Format format, const QString &path,
                                       const ExportDocument &shown) {
    const Export::Result result = Export::write(format, path, shown);
    const QString name = QFileInfo(path).fileName();
    //: %1 is the file's name.
    Toast::show(result.ok ? tr("已导出 %1").arg(name)
                          //: %1 is the file's name, %2 why it could not be written.
                          : tr("未能导出 %1：%2").arg(name, result.error),
                result.ok ? Toast::DefaultSeconds : 3.0);
    return result;
}

void ExportActions::print() {
    const ExportDocument shown = document();
    if (shown.views.isEmpty())
        return;
    QPrinter printer;
    printer.setDocName(shown.currentView().title);
    // As the save dialog: on the heap, watched, and nothing of these actions touched after it.
    QPointer<QPrintDialog> dialog = new QPrintDialog(&printer, m_screen);
    dialog->setWindowTitle(tr("打印"));
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return;
    delete dialog;
    if (accepted && !Export::paintPages(&printer, shown.views))
        Toast::show(tr("未能打印"));
}

namespace {
// Lives on the screen: puts the bar button up or takes it down as the window crosses the width.
class BarButtonKeeper : public QObject {
public:
    explicit BarButtonKeeper(BasicVC *screen)
        : QObject(screen)
        , m_screen(screen) {
        screen->installEventFilter(this);
        update();
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_screen && event->type() == QEvent::Resize)
            update();
        if (watched == m_screen && event->type() == QEvent::LanguageChange) {
            if (auto *button = qobject_cast<QAbstractButton *>(m_button.data())) {
                button->setText(ExportActions::buttonTitle());
                button->setAccessibleName(ExportActions::buttonTitle());
            }
        }
        return false;
    }

private:
    void update() {
        const bool wide = m_screen->window()->width() >= ExportActions::BarButtonWidth;
        if (wide && !m_button) {
            m_button = m_screen->setNavigationRightButtonWithTitle(ExportActions::buttonTitle());
            m_button->setObjectName(QStringLiteral("exportButton"));
            m_button->setAccessibleName(ExportActions::buttonTitle());
        } else if (!wide && m_button && m_screen->rightBarButton() == m_button) {
            m_screen->setRightBarButton(nullptr);
            m_button.clear();
        }
    }

    BasicVC *m_screen;
    QPointer<QWidget> m_button;
};
} // namespace

void ExportActions::showBarButtonWhenWide(BasicVC *screen) {
    if (screen)
        new BarButtonKeeper(screen);
}
