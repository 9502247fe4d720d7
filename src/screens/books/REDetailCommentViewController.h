#pragma once

#include "BasicVC.h"

#include <functional>
#include <memory>

class CommentTextView;
class QLabel;
class QPushButton;
namespace Ui {
class REDetailCommentViewController;
}

// Writes a comment on a book: a text view of at most 140 characters with its counter, and the
// submit button (Ctrl+Enter does the same). The comment goes without its leading and trailing
// spaces; an empty or blank one is refused before anything is sent. On success "评论成功" shows
// while the screen closes and the comments page below reloads; a refusal keeps the text.
class REDetailCommentViewController : public BasicVC {
    Q_OBJECT
public:
    static QString successText();

    explicit REDetailCommentViewController(QWidget *parent = nullptr);
    ~REDetailCommentViewController() override;

    qint64 bookId() const { return m_bookId; }
    void setBookId(qint64 bookId) { m_bookId = bookId; }
    // Told the book's new comment total when a comment was posted, also after this screen has
    // gone: it must not reach into this screen.
    void setCommentAdded(std::function<void(qint64 total)> added) {
        m_commentAdded = std::move(added);
    }
    // Starts the text view with `text` (cut to the limit).
    void setCommentText(const QString &text);

    // "%1/%2": the text's length and the limit.
    static QString counterText(int length);
    void submitCommon();

    CommentTextView *commonText() const;
    QLabel *numberLabel() const;
    QPushButton *submitButton() const;

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    void textDidChange();

    std::unique_ptr<Ui::REDetailCommentViewController> m_ui;
    qint64 m_bookId = 0;
    std::function<void(qint64)> m_commentAdded;
};
