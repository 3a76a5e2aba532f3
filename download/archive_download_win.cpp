// HTTPS GET of one archive photo through WinHTTP: one fixed host on port 443, no redirects,
// no logon, no cookies, status 200 only, at most 40 MiB in 60 s, then the SHA-256 check.
// Certificate and host-name validation stay at WinHTTP's strict defaults.
#include "download/archive_download.h"

#include "archive/photo_limits.h"
#include "core/handles_win.h"
#include "download/archive_url.h"
#include "download/sha256.h"

#include <array>
#include <string>

namespace {

constexpr wchar_t UserAgent[] = L"Driftpane/1.0 (user-requested image download)";
constexpr DWORD ReadChunk = 65536;
constexpr int ResolveTimeoutMs = 10000;
constexpr int ConnectTimeoutMs = 10000;
constexpr int SendTimeoutMs = 10000;
constexpr int ReceiveTimeoutMs = 15000;

bool setDwordOption(HINTERNET request, DWORD option, DWORD value) {
    return WinHttpSetOption(request, option, &value, sizeof(value)) != FALSE;
}

// Reads the body into bytes under the size cap and the deadline; false on any breach.
bool readBody(HINTERNET request, std::vector<std::uint8_t>& bytes) {
    const ULONGLONG start = GetTickCount64();
    std::array<std::uint8_t, ReadChunk> buffer;
    for (;;) {
        // Wine's WinHttpReadData waits until the whole buffer is filled, so a slow body would
        // reach the deadline test only once per 64 KiB. Asking first what has arrived (this
        // waits for some data, within the receive timeout) keeps every read prompt there, as
        // it is on Windows; at the end of the body it answers 0 and the read confirms the end.
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available)) {
            return false;
        }
        const DWORD wanted = available > 0 && available < ReadChunk ? available : ReadChunk;
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer.data(), wanted, &read)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        if (bytes.size() + read > static_cast<std::size_t>(MaxPhotoBytes)) {
            return false;
        }
        bytes.insert(bytes.end(), buffer.data(), buffer.data() + read);
        if (GetTickCount64() - start > MaxDownloadMillis) {
            return false;
        }
    }
}

} // namespace

std::vector<std::uint8_t> downloadArchivePhoto(const CatalogEntry& entry) {
    const std::wstring url = entry.url ? entry.url : L"";
    if (!isAllowedArchiveUrl(url)) {
        return {};
    }
    // Declared session first, so that they close request, connection, session.
    UniqueInternet session(WinHttpOpen(UserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        return {};
    }
    WinHttpSetTimeouts(session.get(), ResolveTimeoutMs, ConnectTimeoutMs, SendTimeoutMs,
                       ReceiveTimeoutMs);
    // The host is the constant, never taken from the URL; the URL rule tied them together.
    UniqueInternet connection(
        WinHttpConnect(session.get(), ArchiveHost, INTERNET_DEFAULT_HTTPS_PORT, 0));
    if (!connection) {
        return {};
    }
    const std::wstring path = archiveUrlPath(url);
    UniqueInternet request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              WINHTTP_FLAG_SECURE));
    if (!request) {
        return {};
    }
    // The receive timeout does not cover the wait for the response headers: that wait has
    // an option of its own, 90 s by default on Windows and unbounded by default under Wine
    // (which does honour the option). It gets the same 15 s, so that a server that takes
    // the request and never answers is left in time.
    if (!setDwordOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, ReceiveTimeoutMs) ||
        !setDwordOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY,
                        WINHTTP_OPTION_REDIRECT_POLICY_NEVER) ||
        !setDwordOption(request.get(), WINHTTP_OPTION_AUTOLOGON_POLICY,
                        WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH) ||
        !setDwordOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES)) {
        return {};
    }
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr)) {
        return {};
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX) ||
        status != 200) {
        return {};
    }
    std::vector<std::uint8_t> bytes;
    if (!readBody(request.get(), bytes)) {
        return {};
    }
    const std::string digest = sha256Hex(bytes);
    if (digest.empty() || !entry.sha256 || digest != entry.sha256) {
        return {};
    }
    return bytes;
}
