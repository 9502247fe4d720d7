#pragma once

#include "BasicVC.h"

#include <QString>

#include <memory>

class PageControl;
class QPushButton;
class QScrollArea;
namespace Ui {
class GuideViewController;
}

// The first-launch guide: three full-window pages side by side, paged horizontally (drag, wheel,
// arrow keys), without bouncing and without scroll bars, a page indicator, and on the third page
// the button that leaves the guide for good.
class GuideViewController : public BasicVC {
    Q_OBJECT
public:
    static constexpr int PageCount = 3;
    static constexpr int PageScrollMilliseconds = 300;

    explicit GuideViewController(QWidget *parent = nullptr);
    ~GuideViewController() override;

    // The image of page `index` (0 to 2) for the device the client runs as, or for the given
    // device class.
    static QString getGuideImageNameWithIndex(int index);
    static QString getGuideImageNameWithIndex(int index, int deviceModel);

    // The pages stopped moving: the indicator shows the page at the left edge (the integer part
    // of offset / width).
    void scrollViewDidEndDecelerating();
    // The third page's button: shows the login stack, then remembers the guide was passed.
    void pushTheTabbarController();

    // Scrolls to a page (clamped); an animated scroll ends in scrollViewDidEndDecelerating().
    void scrollToPage(int page, bool animated);
    int currentPage() const;

    QScrollArea *scrollView() const;
    PageControl *pageControl() const;
    QPushButton *enterButton() const;

protected:
    void viewDidLoad() override;
    void retranslate() override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutPages();

    std::unique_ptr<Ui::GuideViewController> m_ui;
    int m_wheelAccumulated = 0;
    int m_dragStartPage = -1; // while a drag is under way
    bool m_redirecting = false;
};
