#include "windows/HeadingAnchors.h"

#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

QString HeadingAnchor(const QString &heading) {
    QString anchor;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            anchor += c;
        else if (c == QLatin1Char(' '))
            anchor += QLatin1Char('-');
    }
    return anchor;
}

QStringList AddHeadingAnchors(QTextDocument &document) {
    QStringList names;
    QSet<QString> taken;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() <= 0) continue;
        const QString base = HeadingAnchor(block.text());
        QString name = base;
        for (int n = 1; taken.contains(name); ++n)
            name = base + QLatin1Char('-') + QString::number(n);
        taken.insert(name);
        names.append(name);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({name});
        cursor.mergeCharFormat(format);
    }
    return names;
}
