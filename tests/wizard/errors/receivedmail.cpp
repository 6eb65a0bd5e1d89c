#include "receivedmail.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Splits "headers CR LF CR LF body" and unfolds the headers.
std::map<std::string, std::string> readHeaders(const std::string& block, std::string& body)
{
    const size_t end = block.find("\r\n\r\n");
    body = end == std::string::npos ? std::string() : block.substr(end + 4);
    std::map<std::string, std::string> headers;
    std::string last;
    size_t at = 0;
    const std::string head = block.substr(0, end) + "\r\n";
    for (size_t next; (next = head.find("\r\n", at)) != std::string::npos; at = next + 2) {
        const std::string line = head.substr(at, next - at);
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !last.empty()) {
            headers[last] += " " + line.substr(line.find_first_not_of(" \t"));
        } else if (const size_t colon = line.find(':'); colon != std::string::npos) {
            last = lower(line.substr(0, colon));
            const size_t value = line.find_first_not_of(' ', colon + 1);
            headers[last] = value == std::string::npos ? std::string() : line.substr(value);
        }
    }
    return headers;
}

std::string decodeQuotedPrintable(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out += text[i];
        } else if (text.compare(i + 1, 2, "\r\n") == 0) {
            i += 2;
        } else if (i + 2 < text.size()) {
            out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
    }
    return out;
}

ReceivedPart readPart(const std::string& block)
{
    ReceivedPart part;
    std::string body;
    part.headers = readHeaders(block, body);
    const std::string encoding = lower(part.headers["content-transfer-encoding"]);
    if (encoding == "base64")
        part.content = QByteArray::fromBase64(QByteArray::fromStdString(body)).toStdString();
    else if (encoding == "quoted-printable")
        part.content = decodeQuotedPrintable(body);
    else
        part.content = body;
    return part;
}

}  // namespace

std::string ReceivedMail::parameter(const ReceivedPart& part, const std::string& header, const std::string& name)
{
    const auto found = part.headers.find(header);
    if (found == part.headers.end())
        return {};
    const std::string& value = found->second;
    const size_t at = lower(value).find(name + "=");
    if (at == std::string::npos)
        return {};
    std::string text = value.substr(at + name.size() + 1);
    if (!text.empty() && text[0] == '"')
        return text.substr(1, text.find('"', 1) - 1);
    return text.substr(0, text.find_first_of("; "));
}

ReceivedMail parseReceivedMail(const std::string& data)
{
    ReceivedMail mail;
    std::string body;
    mail.headers = readHeaders(data, body);
    ReceivedPart whole;
    whole.headers = mail.headers;
    const std::string boundary = ReceivedMail::parameter(whole, "content-type", "boundary");
    if (boundary.empty()) {
        mail.parts.push_back(readPart(data));
        return mail;
    }
    const std::string delimiter = "--" + boundary;
    size_t at = body.find(delimiter);
    while (at != std::string::npos && body.compare(at + delimiter.size(), 2, "--") != 0) {
        const size_t start = body.find("\r\n", at) + 2;
        const size_t next = body.find("\r\n" + delimiter, start);
        mail.parts.push_back(readPart(body.substr(start, next - start)));
        at = next == std::string::npos ? next : next + 2;
    }
    return mail;
}
