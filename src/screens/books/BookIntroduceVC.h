#pragma once

#include "BasicVC.h"

#include <memory>

class QPlainTextEdit;
namespace Ui {
class BookIntroduceVC;
}

// The introduction page of a book's detail: the book's Introduce in a read-only text view that
// scrolls and lets the teacher select and copy.
class BookIntroduceVC : public BasicVC {
    Q_OBJECT
public:
    explicit BookIntroduceVC(QWidget *parent = nullptr);
    ~BookIntroduceVC() override;

    QPlainTextEdit *textView() const;
    void setIntroduce(const QString &text);

protected:
    void retranslate() override;
    void viewWillAppear(bool animated) override;

private:
    std::unique_ptr<Ui::BookIntroduceVC> m_ui;
};
