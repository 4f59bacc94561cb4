#include "support/articlepdf.h"

#include <vector>

namespace {

// A PDF literal string holds bytes; the standard 14 fonts know Latin-1 at
// most, so anything else shows as '?'. Backslash and brackets are escaped.
QByteArray pdfString(const QString& text)
{
    QByteArray out = "(";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const char b = u >= 0x20 && u < 0x7f ? static_cast<char>(u) : '?';
        if (b == '\\' || b == '(' || b == ')')
            out += '\\';
        out += b;
    }
    return out + ')';
}

} // namespace

QByteArray ArticlePdf(const QString& title, qint64 atLeast)
{
    const QByteArray content = "BT /F1 18 Tf 72 720 Td " + pdfString(title) + " Tj ET\n"
                               "BT /F1 11 Tf 72 690 Td (A paper of the Paperpull demo site.) Tj ET\n";
    std::vector<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    if (atLeast > 0) {
        // Referenced by nothing: readers skip it, the file has its size.
        const QByteArray filler(atLeast, '0');
        objects.push_back("<< /Length " + QByteArray::number(filler.size()) + " >>\nstream\n" + filler
                          + "\nendstream");
    }

    QByteArray pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::vector<qsizetype> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(static_cast<qulonglong>(i + 1)) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(static_cast<qulonglong>(objects.size() + 1)) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(static_cast<qulonglong>(objects.size() + 1))
        + " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}
