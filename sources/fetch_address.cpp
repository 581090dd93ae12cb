// SPDX-License-Identifier: MIT
// One plain GET of a plan address into memory.
#include <curl/curl.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "sources/plan_source.h"
#include "calendar/value_text.h"

namespace nerin {

namespace {

constexpr const char* USER_AGENT = "Mozilla/5.0 Gecko/41.0 Firefox/41.0";
constexpr long CONNECT_TIMEOUT_MS = 30000;
constexpr long MAX_REDIRECTS = 30;
constexpr long HTTP_FIRST_ERROR_STATUS = 400;

void InitCurlOnce() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)initialised;
}

struct Body {
  std::string bytes;
  std::size_t limit = 0;
};

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* target) {
  auto* body = static_cast<Body*>(target);
  const std::size_t length = size * count;
  // Returning anything but `length` makes the transfer fail.
  if (length > body->limit - body->bytes.size()) return 0;
  try {
    body->bytes.append(data, length);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

// libcurl asks this often while a transfer runs, also while it waits for an answer: the bytes
// received so far go to the caller, and a raised stop flag ends the transfer.
int TransferProgress(void* target, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
  const auto* options = static_cast<const FetchOptions*>(target);
  if (options->progress) options->progress(static_cast<std::int64_t>(received));
  return options->stop != nullptr && options->stop->load() ? 1 : 0;
}

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

// The body whatever the HTTP status, and that status (0 when the protocol gave none); false
// only when no complete response arrived.
bool Download(const std::string& address, const FetchOptions& options, std::string& bytes, long& status) {
  status = 0;
  InitCurlOnce();
  std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
  if (!handle) return false;
  Body body;
  body.limit = options.maxBodyBytes > 0 ? static_cast<std::size_t>(options.maxBodyBytes) : 0;
  CURL* curl = handle.get();
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, MAX_REDIRECTS);
  // A plan address is fetched over http or https only, also after a redirect: a typed or
  // redirected file:, ftp: or other address must not reach anything else.
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "gzip");
  curl_easy_setopt(curl, CURLOPT_USERAGENT, USER_AGENT);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, CONNECT_TIMEOUT_MS);
  // No limit on the whole transfer, but one that has gone quiet ends instead of blocking the
  // viewer forever.
  if (options.lowSpeedBytesPerSecond > 0 && options.lowSpeedSeconds > 0) {
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, static_cast<long>(options.lowSpeedBytesPerSecond));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.lowSpeedSeconds));
  }
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  if (options.progress || options.stop != nullptr) {
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, TransferProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &options);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  }
  if (curl_easy_perform(curl) != CURLE_OK) return false;
  // The status of the last response, after any redirects.
  if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) status = 0;
  handle.reset();
  // Growth by doubling can leave much unused room; give it back before the plan is parsed.
  if (body.bytes.capacity() - body.bytes.size() > body.bytes.size() / 4) body.bytes.shrink_to_fit();
  bytes = std::move(body.bytes);
  return true;
}

}  // namespace

bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address) {
  return FetchAddressSource(plan, log, address, FetchOptions{});
}

bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address,
                        const FetchOptions& options) {
  if (address.empty()) return false;
  std::string body;
  long status = 0;
  if (!Download(address, options, body, status)) {
    ClearMessages(log);
    AddMessage(log, MessageLevel::Error,
               "The address could not be read. Check the address, and that the server is reachable.");
    return false;
  }
  // An empty body goes on as zero bytes and is reported as an empty source.
  const bool loaded = LoadSourceBuffer(plan, log, AddressDisplayName(address), std::move(body));
  // An error page reaches the loader like any body; the status tells the user that the server
  // refused, rather than leaving a mere XML fault to explain a missing or forbidden file.
  if (status >= HTTP_FIRST_ERROR_STATUS) {
    AddMessage(log, MessageLevel::Info, "The server answered with HTTP status " + IntegerText(status) + ".");
  }
  return loaded;
}

bool ReadPlanSource(Plan& plan, MessageLog& log, const std::string& source, bool address,
                    const FetchOptions& options) {
  return address ? FetchAddressSource(plan, log, source, options) : ReadFileSource(plan, log, source);
}

}  // namespace nerin
