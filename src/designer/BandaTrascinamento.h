#pragma once
// The rubber band of a drag: a rectangle outline drawn over the whole main window
// in inverted colours. Like drawing with an inverting pen, drawing the same
// rectangle twice removes it, so callers pair every erase with a draw.

#include <QList>
#include <QRect>
#include <QWidget>

namespace cartigo {

class BandaTrascinamento : public QWidget {
    Q_OBJECT
public:
    // Covers `finestra` and follows its size; takes no mouse input.
    explicit BandaTrascinamento(QWidget* finestra);

    // Draws (or, when it is already drawn, erases) the outline of `schermo`,
    // a rectangle in screen pixels given by its edges (right and bottom exclusive).
    void DrawDragRect(const QRect& schermo);
    // The rectangles now drawn, in screen pixels.
    const QList<QRect>& Disegnati() const { return disegnati_; }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QList<QRect> disegnati_;
};

}  // namespace cartigo
