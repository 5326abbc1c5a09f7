#include "net/http/uri.h"

#include <algorithm>

namespace {

void SplitAuthority(std::string authority, TIdURI& uri) {
    const size_t at = authority.find('@');
    if (at != std::string::npos) {
        const std::string user = authority.substr(0, at);
        const size_t colon = user.find(':');
        uri.Username = user.substr(0, colon);
        if (colon != std::string::npos) uri.Password = user.substr(colon + 1);
        authority.erase(0, at + 1);
    }
    size_t portStart = std::string::npos;
    if (!authority.empty() && authority[0] == '[') {
        const size_t close = authority.find(']');
        uri.Host = authority.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        uri.IPVersion = Id_IPv6;
        if (close != std::string::npos && close + 1 < authority.size() && authority[close + 1] == ':')
            portStart = close + 2;
    } else {
        const size_t colon = authority.find(':');
        uri.Host = authority.substr(0, colon);
        if (colon != std::string::npos) portStart = colon + 1;
    }
    if (portStart != std::string::npos) uri.Port = authority.substr(portStart);
}

}  // namespace

void TIdURI::SetURI(const std::string& uri) {
    *this = TIdURI();
    std::string text = uri;
    const size_t schemeEnd = text.find("://");
    const size_t slashesEnd = schemeEnd == std::string::npos ? 0 : schemeEnd + 3;
    const size_t queryStart = std::min(text.find('?'), text.find('#'));
    for (size_t i = slashesEnd; i < text.size() && i < queryStart; ++i)
        if (text[i] == '\\') text[i] = '/';

    if (schemeEnd != std::string::npos) {
        Protocol = text.substr(0, schemeEnd);
        text.erase(0, schemeEnd + 3);
    }
    // The fragment belongs to the client: it is cut off the parameters too,
    // so that it is never sent in a request.
    if (const size_t hash = text.find('#'); hash != std::string::npos) {
        Bookmark = text.substr(hash + 1);
        text.resize(hash);
    }
    if (const size_t question = text.find('?'); question != std::string::npos) {
        Params = text.substr(question + 1);
        text.resize(question);
    }
    if (schemeEnd != std::string::npos) {
        const size_t slash = text.find('/');
        SplitAuthority(text.substr(0, slash), *this);
        text = slash == std::string::npos ? "/" : text.substr(slash);
    }
    const size_t lastSlash = text.rfind('/');
    if (lastSlash == std::string::npos) {
        Document = text;
    } else {
        Path = text.substr(0, lastSlash + 1);
        Document = text.substr(lastSlash + 1);
    }
}
