#pragma once

#include "BasicVC.h"
#include "SettingModel.h"

#include <memory>

class QListView;
class SettingRows;
namespace Ui {
class HelpServiceVC;
}

// The customer-service numbers: the hotline, shown only, and the landline with its extension,
// which a tap calls (the landline alone; the extension is for the teacher to dial).
class HelpServiceVC : public BasicVC {
    Q_OBJECT
public:
    // The row that calls.
    static constexpr int LandlineRow = 1;

    explicit HelpServiceVC(QWidget *parent = nullptr);
    ~HelpServiceVC() override;

    // Only the landline row acts: it calls the landline number; a failure is only logged.
    void tableViewDidSelectRowAtIndexPath(const QModelIndex &index);

    const QList<SettingModel> &helpServiceArray() const;
    QListView *helpServiceTableView() const;

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    void applyTexts();

    std::unique_ptr<Ui::HelpServiceVC> m_ui;
    SettingRows *m_rows = nullptr;
    ServiceNumbers m_numbers;
};
