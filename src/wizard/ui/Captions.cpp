#include "Captions.h"

#include "common/Text.h"
#include "platform/qt/QtPlatform.h"

#include <QLabel>
#include <QTextDocument>

namespace vexo {

QString withAccessKey(const std::string& caption) {
    QString html;
    const QString text = toQt(crToNewline(caption));
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
            html += QStringLiteral("&amp;");
            ++i;
        } else if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            html += QStringLiteral("<u>%1</u>").arg(QString(text[++i]).toHtmlEscaped());
        } else if (text[i] == QLatin1Char('\n')) {
            html += QStringLiteral("<br>");
        } else {
            html += QString(text[i]).toHtmlEscaped();
        }
    }
    return html;
}

QString spokenCaption(const std::string& caption) {
    QTextDocument plain;
    plain.setHtml(withAccessKey(caption));
    return plain.toPlainText();
}

void showCaption(QLabel* label, const std::string& caption) {
    const bool accessKey = caption.find('&') != std::string::npos;
    const QString text = accessKey ? withAccessKey(caption) : toQt(crToNewline(caption));
    label->setTextFormat(accessKey ? Qt::RichText : Qt::PlainText);
    if (label->text() != text)
        label->setText(text);
}

} // namespace vexo
