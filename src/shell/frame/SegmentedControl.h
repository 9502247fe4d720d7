#pragma once

#include <QStringList>
#include <QWidget>

// A row of mutually exclusive segments with a brown outline; the selected segment is filled brown
// with white text, the others show dark grey text. A click or an arrow key changes the selection
// and emits valueChanged(); setSelectedSegmentIndex() does not. The segments are painted: the
// accessible description says which one is selected, for whoever cannot see it.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(const QStringList &titles = {}, QWidget *parent = nullptr);

    void setTitles(const QStringList &titles);
    QStringList titles() const { return m_titles; }
    int numberOfSegments() const { return m_titles.size(); }
    QString titleForSegmentAtIndex(int index) const;
    // -1 for none; out-of-range indexes are ignored.
    void setSelectedSegmentIndex(int index);
    int selectedSegmentIndex() const { return m_selected; }
    QColor textColorForSegment(int index) const;
    QRect segmentRect(int index) const;
    int segmentAt(const QPoint &pos) const;

    QSize sizeHint() const override;

signals:
    void valueChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void choose(int index);
    void describe();

    QStringList m_titles;
    int m_selected = -1;
};
