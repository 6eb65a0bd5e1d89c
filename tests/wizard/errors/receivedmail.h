// Reads a mail message as an SMTP server received it: its headers and, for a
// multipart message, its parts with their content decoded.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ReceivedPart {
    std::map<std::string, std::string> headers;   // names in lower case, values unfolded
    std::string content;                          // decoded from base64 or quoted-printable
};

struct ReceivedMail {
    std::map<std::string, std::string> headers;
    std::vector<ReceivedPart> parts;   // a message that is not multipart has one part

    // The parameter `name` of the header `header` ("" when absent), e.g.
    // parameter("content-disposition", "filename") of part 1.
    static std::string parameter(const ReceivedPart& part, const std::string& header, const std::string& name);
};

ReceivedMail parseReceivedMail(const std::string& data);
