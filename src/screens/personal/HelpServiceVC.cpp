#include "HelpServiceVC.h"

#include "CoreMediaFuncManagerVC.h"
#include "SettingRows.h"
#include "StyleTokens.h"
#include "ui_HelpServiceVC.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListView>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcHelp, "teacher.help")

HelpServiceVC::HelpServiceVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::HelpServiceVC>(this)) {}

HelpServiceVC::~HelpServiceVC() = default;

const QList<SettingModel> &HelpServiceVC::helpServiceArray() const {
    static const QList<SettingModel> none;
    return m_rows ? m_rows->rows() : none;
}

QListView *HelpServiceVC::helpServiceTableView() const {
    return m_ui->helpServiceTableView;
}

void HelpServiceVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    // The number dialled is read with the rows, so the label and the call always agree.
    m_numbers = ServiceNumbers::configured();
    m_rows = SettingRows::attach(
        m_ui->helpServiceTableView, SettingModel::arrayForHelpService(m_numbers), tr("客服电话"),
        [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index); });
    applyTexts();
}

void HelpServiceVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void HelpServiceVC::applyTexts() {
    setTitle(tr("帮助与客服"));
    m_ui->helpServiceTableView->setAccessibleName(tr("客服电话"));
    // The version is the one the program was built with (set by main from the build); a
    // program that set none shows no footer rather than a bare word.
    const QString version = QCoreApplication::applicationVersion();
    m_ui->helpVersionLabel->setText(tr("版本 %1").arg(version));
    m_ui->helpVersionLabel->setVisible(!version.isEmpty());
}

void HelpServiceVC::tableViewDidSelectRowAtIndexPath(const QModelIndex &index) {
    const SettingModel *row = m_rows ? m_rows->rowAt(index) : nullptr;
    m_ui->helpServiceTableView->clearSelection();
    if (!row || index.row() != LandlineRow)
        return;
    CoreMediaFuncManagerVC::call(m_numbers.landline, this,
                                 [] { qCDebug(lcHelp).noquote() << QStringLiteral("不能打"); });
}
