#pragma once

#include "BasicVC.h"
#include "ClassDetailListVC.h"
#include "records/ContentRecords.h"

#include <QPointer>

#include <memory>
#include <optional>

class ClassDetailListVC;
class QAbstractButton;
class QFrame;
class QShortcut;
namespace Ui {
class ClassDetailVC;
}

// A pupil's home as the teacher sees it: photo, name, level, flowers and school above two tabs,
// the books the pupil was tested on (tab 0, loaded on opening) and the books the pupil collected
// (tab 1, loaded when first chosen). Each grid keeps its books and page while the other is in
// front; every successful answer of either grid refreshes the header.
class ClassDetailVC : public BasicVC {
    Q_OBJECT
public:
    // The tab header of tab N carries the tag HeaderTag + N, its button the tag N.
    static constexpr int HeaderTag = 10;
    // The grid lies this far below levelLabel and this far from the other three edges.
    static constexpr int GridTopGap = 45;
    static constexpr int GridMargin = 10;

    explicit ClassDetailVC(QWidget *parent = nullptr);
    ~ClassDetailVC() override;

    // The tapped pupil; only its UserId is used. Set before the screen is shown.
    const StudentListModel &studentModel() const { return m_studentModel; }
    void setStudentModel(const StudentListModel &student) { m_studentModel = student; }

    // Fills the header from the pupil record of a grid's answer.
    void layoutMainViewWithUserInfo(const StudentUseInfo &info);
    // A tab button: its tag (0 or 1) chooses the grid; choosing the one in front does nothing.
    void segmentAction(QAbstractButton *sender);
    using BasicVC::segmentAction;
    // Puts `grid` in front (adding it the first time, which loads its first page) with the tab
    // header of `button` in front of it.
    void changeToNewController(ClassDetailListVC *grid, QAbstractButton *button);

    ClassDetailListVC *currentVC() const;
    // The grid of tab 0 or 1 (nullptr for any other index, or before the screen loaded).
    ClassDetailListVC *grid(int tab) const;

    // "x" and the flowers, "(等级)" and the title, the location line: the header's texts.
    static QString titleText(const StudentUseInfo &info);
    static QString flowerText(const StudentUseInfo &info);
    static QString classText(const StudentUseInfo &info);

protected:
    void viewDidLoad() override;
    void resizeEvent(QResizeEvent *event) override;
    void retranslate() override;

private:
    void applyTexts();
    QRect gridRect() const;
    void placeTabs();
    void styleTabs();
    QFrame *tabHeader(int tab) const;

    std::unique_ptr<Ui::ClassDetailVC> m_ui;
    StudentListModel m_studentModel;
    // The last header, written again in a new language.
    std::optional<StudentUseInfo> m_shownInfo;
    QShortcut *m_refreshKey = nullptr;
    QPointer<ClassDetailListVC> m_grids[2];
    bool m_gridShown[2] = {false, false};
    QPointer<ClassDetailListVC> m_currentVC;
};
