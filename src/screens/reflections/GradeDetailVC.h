#pragma once

#include "BasicVC.h"
#include "records/ContentRecords.h"

#include <QPointer>
#include <QPushButton>

#include <memory>
#include <optional>

class PictureGrid;
class QAbstractButton;
class QLabel;
class QTextBrowser;
namespace Ui {
class GradeDetailVC;
}

// One pupil's reading reflection: its text, its pictures and, once graded, the grade's stamp. In
// grading mode the bar's right button opens the grading dialog; a successful grading stamps the
// reflection and takes the button away. Every reflection list is told to reload once the service
// accepted the grade, even when the teacher went back before the answer.
class GradeDetailVC : public BasicVC {
    Q_OBJECT
public:
    enum DetailType { ReadOnlyType = 200, GradingType = 201 };

    explicit GradeDetailVC(QWidget *parent = nullptr);
    ~GradeDetailVC() override;

    // Set by the opener before the screen is shown.
    qint64 feelId() const { return m_feelId; }
    void setFeelId(qint64 feelId) { m_feelId = feelId; }
    int detailType() const { return m_detailType; }
    void setDetailType(int detailType) { m_detailType = detailType; }

    // The last answer to the load, whatever its result.
    const std::optional<GetSingleFeelRsp> &feelRsp() const { return m_feelRsp; }

    void getFeelDetailAction();
    void layOutMainView();
    // Opens the grading dialog; nothing once the reflection is graded, while a grade is on its
    // way, or when read-only.
    void markClickAction(QAbstractButton *sender = nullptr);
    // Sends the grade; the grading button stays disabled until the answer, and comes back when
    // the grade is refused or fails.
    void gradeFeelDetailActionWithFeelType(qint64 feelType);

    QTextBrowser *contentLabel() const;
    PictureGrid *photosGroup() const;
    QLabel *gradeImageView() const;
    // The stamp's asset, empty while none is shown.
    QString gradeImageName() const { return m_gradeImageName; }
    // Null in read-only mode and after a successful grading.
    QPushButton *rightButton() const { return m_rightButton; }

protected:
    void viewDidLoad() override;
    void resizeEvent(QResizeEvent *event) override;
    void retranslate() override;

private:
    void applyTexts();
    // `gradeText` is the grade's FeelTypeStr, told to assistive tools.
    void showStamp(const QString &imageName, const QString &gradeText);
    // The grade given (here or elsewhere in this run) stands: its stamp, and no grading button.
    void showGiven(int code);
    void placeStamp();
    void fitText();

    std::unique_ptr<Ui::GradeDetailVC> m_ui;
    qint64 m_feelId = 0;
    int m_detailType = ReadOnlyType;
    std::optional<GetSingleFeelRsp> m_feelRsp;
    QPointer<QPushButton> m_rightButton;
    QString m_gradeImageName;
    QString m_gradeText;
};
