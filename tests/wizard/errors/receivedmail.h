// A mail message as an SMTP server received it: its headers and, for a
// multipart message, its parts with their content decoded.
#pragma once

#include <QByteArray>

#include <map>
#include <string>
#include <vector>

struct ReceivedPart {
    std::map<std::string, std::string> headers;  // names in lower case, values unfolded
    std::string content;                         // decoded from base64 or quoted-printable
};

// Splits "headers CR LF CR LF body", unfolds the headers and decodes the body.
inline ReceivedPart readPart(const std::string& block)
{
    ReceivedPart part;
    const size_t end = block.find("\r\n\r\n");
    std::string last;
    for (const QByteArray& line : QByteArray::fromStdString(block.substr(0, end)).split('\n')) {
        const std::string text = line.trimmed().toStdString();
        if ((line.startsWith(' ') || line.startsWith('\t')) && !last.empty())
            part.headers[last] += " " + text;
        else if (const size_t colon = text.find(':'); colon != std::string::npos)
            part.headers[last = QByteArray::fromStdString(text.substr(0, colon)).toLower().toStdString()] =
                QByteArray::fromStdString(text.substr(colon + 1)).trimmed().toStdString();
    }
    const QByteArray body = QByteArray::fromStdString(end == std::string::npos ? std::string() : block.substr(end + 4));
    const QByteArray encoding = QByteArray::fromStdString(part.headers["content-transfer-encoding"]).toLower();
    if (encoding == "base64") {
        part.content = QByteArray::fromBase64(body).toStdString();
    } else if (encoding == "quoted-printable") {
        for (qsizetype i = 0; i < body.size(); ++i) {
            if (body[i] != '=')
                part.content += body[i];
            else if (body.mid(i + 1, 2) != "\r\n")
                part.content += char(body.mid(i + 1, 2).toInt(nullptr, 16));
            i += body[i] == '=' ? 2 : 0;
        }
    } else {
        part.content = body.toStdString();
    }
    return part;
}

// The parameter `name` of header `header` of `part` ("" when absent).
inline std::string parameter(const ReceivedPart& part, const std::string& header, const std::string& name)
{
    const auto found = part.headers.find(header);
    const std::string value = found == part.headers.end() ? std::string() : found->second;
    const size_t at = QByteArray::fromStdString(value).toLower().toStdString().find(name + "=");
    if (at == std::string::npos)
        return {};
    const std::string text = value.substr(at + name.size() + 1);
    return text.starts_with('"') ? text.substr(1, text.find('"', 1) - 1) : text.substr(0, text.find_first_of("; "));
}

// The message's parts; the first holds the message's own headers too.
inline std::vector<ReceivedPart> parseReceivedMail(const std::string& data)
{
    const ReceivedPart whole = readPart(data);
    const std::string boundary = "--" + parameter(whole, "content-type", "boundary");
    std::vector<ReceivedPart> parts{whole};
    if (boundary == "--")
        return parts;
    const std::string body = data.substr(data.find("\r\n\r\n") + 4);
    for (size_t at = body.find(boundary); at != std::string::npos && body.compare(at + boundary.size(), 2, "--") != 0;) {
        const size_t start = body.find("\r\n", at) + 2, next = body.find("\r\n" + boundary, start);
        parts.push_back(readPart(body.substr(start, next - start)));
        at = next == std::string::npos ? next : next + 2;
    }
    return parts;
}
