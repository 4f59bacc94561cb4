#include "contenttype.h"

#include "textfunctions.h"

#include <QHash>

using namespace Qt::Literals::StringLiterals;

QString ParseContentType(const QString& headerValue)
{
    const QString value = textrules::trimSpaces(headerValue);
    const qsizetype semicolon = value.indexOf(u';');
    return semicolon >= 0 ? textrules::trimSpaces(QStringView(value).first(semicolon)) : value;
}

namespace {

const QHash<QString, QString>& knownTypes()
{
    static const QHash<QString, QString> table = {
        {u"application/octet-stream"_s, QString()},
        {u"application/x-shockwave-flash"_s, u"swf"_s},
        {u"application/x-javascript"_s, u"js"_s},
        {u"application/vnd.rn-realmedia"_s, u"vnd.rn-realmedia"_s},
        {u"application/vnd.ms-wpl"_s, u"wpl"_s},
        {u"application/kdh"_s, u"kdh"_s},
        {u"application/caj"_s, u"caj"_s},
        {u"application/pdf"_s, u"pdf"_s},
        {u"application/caa"_s, u"caa"_s},
        {u"application/nh"_s, u"nh"_s},
        {u"text/html"_s, u"html"_s},
        {u"text/txt"_s, u"txt"_s},
        {u"text/htm"_s, u"htm"_s},
        {u"text/xml"_s, u"xml"_s},
        {u"text/css"_s, u"css"_s},
        {u"text/plain"_s, u"plain"_s},
        {u"image/jpg"_s, u"jpg"_s},
        {u"image/jpeg"_s, u"jpeg"_s},
        {u"image/gif"_s, u"gif"_s},
        {u"image/png"_s, u"png"_s},
        {u"image/bmp"_s, u"bmp"_s},
        {u"image/tif"_s, u"tif"_s},
        {u"image/tiff"_s, u"tif"_s},
        {u"image/pjpeg"_s, u"pjpeg"_s},
        {u"image/g3fax"_s, u"g3fax"_s},
        {u"image/ief"_s, u"ief"_s},
        {u"image/x-png"_s, u"png"_s},
        {u"image/x-ms-bmp"_s, u"bmp"_s},
        {u"image/x-icon"_s, u"ico"_s},
        {u"video/mpeg"_s, u"mpeg"_s},
        {u"video/mpeg4"_s, u"mp4"_s},
        {u"video/x-msvideo"_s, u"avi"_s},
        {u"video/x-ms-asf"_s, u"asf"_s},
        {u"video/quicktime"_s, u"quicktime"_s},
        {u"audio/amr"_s, u"amr"_s},
        {u"audio/x-ms-wma"_s, u"wma"_s},
        {u"audio/x-wav"_s, u"wav"_s},
        {u"audio/x-pn-realaudio"_s, u"ram"_s},
        {u"audio/midi"_s, u"mid"_s},
        {u"audio/x-mpegurl"_s, u"x-mpegurl"_s},
    };
    return table;
}

bool isKnownFamily(const QString& major)
{
    return major == u"application"_s || major == u"text"_s || major == u"image"_s
        || major == u"video"_s || major == u"audio"_s;
}

} // namespace

QString ContentTypeToExt(const QString& mediaType)
{
    const QStringList parts = mediaType.split(u'/');
    if (parts.size() != 2)
        return mediaType;
    const QString major = textrules::trimSpaces(parts[0]).toLower();
    const QString minor = QString(parts[1]).remove(u' ').toLower();
    if (!isKnownFamily(major))
        return mediaType;
    if (minor.isEmpty() || minor == u"*"_s)
        return major;
    const auto found = knownTypes().constFind(major + u'/' + minor);
    return found != knownTypes().cend() ? *found : mediaType;
}
