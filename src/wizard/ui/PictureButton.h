#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

namespace vexo {

// A picture with its caption beside its round icon that acts on the release of a press,
// wherever the pointer is let go. The picture is drawn at the button's height without changing
// its proportions: its left end with the icon and its right end as they are, the plain middle
// stretched to the button's width.
class PictureButton final : public QWidget {
public:
    PictureButton(QWidget* parent, std::function<void()> down, std::function<void()> up);

    void setPicture(const QPixmap& picture);
    // The caption, its access key ('&' before a letter) underlined; it also names the button
    // for assistive tools.
    void setCaption(const std::string& caption);

    // The width that shows the whole caption beside the picture at a height of `h`.
    int widthFor(int h) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Where the picture's round icon is drawn and where the caption stands, beside it. The
    // caption's area is also kept as the property "captionArea", for checks of the layout.
    QRect iconArea() const;
    QRect captionArea() const;
    void noteCaptionArea();
    // The caption as drawn.
    QString captionHtml() const;
    int scaledHeight() const;
    double scale() const;
    int endCapWidth() const;
    void drawPicture(QPainter& painter) const;

    QPixmap m_picture;
    QString m_caption;
    std::function<void()> m_down;
    std::function<void()> m_up;
};

} // namespace vexo
