#pragma once

#include <QList>
#include <QWidget>

#include <memory>

class QPushButton;
namespace Ui {
class GradeShowView;
}

// The grading dialog's panel: four grade buttons (tags 0 to 3: excellent, good, pass, fail), a
// confirm and a close button. It opens with "优秀" selected, the dialog's default grade.
class GradeShowView : public QWidget {
    Q_OBJECT
public:
    explicit GradeShowView(QWidget *parent = nullptr);
    ~GradeShowView() override;

    QPushButton *closeButton() const;
    QPushButton *decideButton() const;
    QPushButton *excellectBtn() const;
    QPushButton *goodBtn() const;
    QPushButton *qualifiedBtn() const;
    QPushButton *unQualifiedBtn() const;
    // In the order excellent, good, pass, fail.
    QList<QPushButton *> gradeButtons() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<Ui::GradeShowView> m_ui;
};
