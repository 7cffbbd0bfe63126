#pragma once

#include <QColor>
#include <QWidget>

class QImage;
class QPainter;

/// Shows how far Progress has come from MinValue to MaxValue as a bar, a pie, a needle dial or a
/// bare percentage. Paints without a native window of its own and covers its whole area.
/// Color (the background palette role, inherited from the parent until set) surrounds the pie and
/// the needle dial; the widget's font is the font of the percentage text.
class TGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE setProgress)
    Q_PROPERTY(TGaugeKind Kind READ Kind WRITE setKind)
    Q_PROPERTY(bool ShowText READ ShowText WRITE setShowText)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(int PercentComplete READ PercentComplete)

  public:
    enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
    Q_ENUM(TGaugeKind)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    explicit TGauge(QWidget *parent = nullptr);

    int MinValue() const { return m_minValue; }
    /// Throws EInvalidOperation for a value above MaxValue, unless loading.
    void setMinValue(int value);
    int MaxValue() const { return m_maxValue; }
    /// Throws EInvalidOperation for a value below MinValue, unless loading.
    void setMaxValue(int value);
    int Progress() const { return m_progress; }
    /// Clamps to the bounds; repaints only when the whole percentage changes.
    void setProgress(int value);
    TGaugeKind Kind() const { return m_kind; }
    void setKind(TGaugeKind value);
    bool ShowText() const { return m_showText; }
    void setShowText(bool value);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle value);
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor &value);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &value);
    QColor Color() const;
    void setColor(const QColor &value);

    int PercentComplete() const;

    /// While loading from a stored description the bounds may pass each other for a moment,
    /// so their checks are skipped.
    bool isLoading() const { return m_loading; }
    void setLoading(bool loading) { m_loading = loading; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    static void ClearToBlack(QImage &image);
    void DrawPlain(QPainter &painter) const;
    void DrawBar(QPainter &painter) const;
    void DrawPie(QPainter &painter) const;
    void DrawNeedle(QPainter &painter) const;
    void DrawPercentText(QImage &image) const;
    void drawKind(QImage &overlay) const;
    void fillPaintRect(QPainter &painter, const QColor &color) const;
    QRect PaintRect() const;
    bool bordered() const { return m_borderStyle == bsSingle; }

    template <typename T> void assign(T &field, const T &value);

    int m_minValue = 0;
    int m_maxValue = 100;
    int m_progress = 0;
    TGaugeKind m_kind = gkHorizontalBar;
    bool m_showText = true;
    TBorderStyle m_borderStyle = bsSingle;
    QColor m_foreColor = Qt::black;
    QColor m_backColor = Qt::white;
    bool m_loading = false;
};
