#pragma once

#include "BasicVC.h"
#include "ChartListVC.h"
#include "ExportActions.h"
#include "SegmentedControl.h"

#include <QList>
#include <QPointer>

#include <memory>

class NavigationController;
class QShortcut;
namespace Ui {
class ChartViewController;
}

// The class reports, root of the third tab: three report views ("年级", "学校", "区域") chosen in
// the bar. The terms are asked for once; every view gets its own copy. "导出" (Ctrl+S) writes the
// view in sight; a PDF and a print (Ctrl+P) hold every view opened so far, a page each.
class ChartViewController : public BasicVC {
    Q_OBJECT
public:
    explicit ChartViewController(QWidget *parent = nullptr);
    ~ChartViewController() override;

    // A new screen in a new navigation stack.
    static NavigationController *navigationControllerContainSelf();

    // The segment picks the view; the one shown already stays as it is.
    void segmentAction(SegmentedControl *sender) override;
    void showList(int index);

    // The views in segment order; the one on screen.
    QList<ChartListVC *> lists() const;
    ChartListVC *currentList() const { return m_current; }
    SegmentedControl *segment() const { return m_segment; }

    // The "导出" button and Ctrl+S: the formats to choose from.
    void rightBarButtonItemPressed() override;
    // What an export or a print holds now.
    ExportDocument exportDocument() const;
    ExportActions *exportActions() const { return m_export; }

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    void applyTexts();
    void getTermList();

    std::unique_ptr<Ui::ChartViewController> m_ui;
    QList<QPointer<ChartListVC>> m_lists;
    QPointer<ChartListVC> m_current;
    QPointer<SegmentedControl> m_segment;
    ExportActions *m_export = nullptr;
    QShortcut *m_refreshKey = nullptr;
};
