// HeadingAnchors: the anchor names of a document's headings, as the usual Markdown renderers name them,
// so that a link "#section-name" of a Markdown text goes to its heading.
#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

// The anchor of a heading: lower case, without punctuation (letters, digits, "-" and "_" stay), each space
// a "-". "Files and their formats (.lis)" -> "files-and-their-formats-lis".
QString HeadingAnchor(const QString &heading);

// Gives every heading of the document its anchor name; a name that is already taken gets "-1", "-2", ...
// Returns the names in document order.
QStringList AddHeadingAnchors(QTextDocument &document);
