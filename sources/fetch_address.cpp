// SPDX-License-Identifier: MIT
// One plain GET of a plan address, its body loaded as it arrives.
#include <curl/curl.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "calendar/value_text.h"
#include "sources/plan_source.h"
#include "sources/source_load.h"

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

// The body goes into the load as it arrives. An answer that is an HTTP failure is not read:
// its status is the reason, whatever page the server sends with it.
struct Body {
  CURL* curl = nullptr;
  SourceLoad* load = nullptr;
  std::int64_t received = 0;
  std::int64_t limit = 0;
  bool statusChecked = false;
  long failureStatus = 0;  // 400 or more
  bool loadEnded = false;  // the load needed no more bytes
};

long ResponseStatus(CURL* curl) {
  long status = 0;
  if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) status = 0;
  return status;
}

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* target) {
  auto* body = static_cast<Body*>(target);
  const std::size_t length = size * count;
  // Returning anything but `length` ends the transfer.
  if (!body->statusChecked) {
    body->statusChecked = true;
    const long status = ResponseStatus(body->curl);
    if (status >= HTTP_FIRST_ERROR_STATUS) {
      body->failureStatus = status;
      return 0;
    }
  }
  if (static_cast<std::int64_t>(length) > body->limit - body->received) return 0;
  body->received += static_cast<std::int64_t>(length);
  if (!body->load->Feed(std::string_view(data, length))) {
    body->loadEnded = true;
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

enum class Transfer { Complete, LoadEnded, HttpFailure, Failed };

// One GET, its body fed to `load` as it arrives.
Transfer Download(const std::string& address, const FetchOptions& options, SourceLoad& load, long& status) {
  status = 0;
  InitCurlOnce();
  std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
  if (!handle) return Transfer::Failed;
  CURL* curl = handle.get();
  Body body;
  body.curl = curl;
  body.load = &load;
  body.limit = options.maxBodyBytes > 0 ? options.maxBodyBytes : 0;
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
  const CURLcode result = curl_easy_perform(curl);
  if (body.failureStatus >= HTTP_FIRST_ERROR_STATUS) {
    status = body.failureStatus;
    return Transfer::HttpFailure;
  }
  if (body.loadEnded) return Transfer::LoadEnded;
  if (result != CURLE_OK) return Transfer::Failed;
  // The status of the last response, after any redirects; a failure without a body.
  status = ResponseStatus(curl);
  return status >= HTTP_FIRST_ERROR_STATUS ? Transfer::HttpFailure : Transfer::Complete;
}

}  // namespace

bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address) {
  return FetchAddressSource(plan, log, address, FetchOptions{});
}

bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address,
                        const FetchOptions& options) {
  if (address.empty()) return false;
  SourceLoad load(AddressDisplayName(address));
  long status = 0;
  switch (Download(address, options, load, status)) {
    case Transfer::Failed:
      ClearMessages(log);
      AddMessage(log, MessageLevel::Error,
                 "The address could not be read. Check the address, and that the server is reachable.");
      return false;
    case Transfer::HttpFailure:
      // The server refused: a missing or forbidden file says so, not the XML of its error page.
      ClearMessages(log);
      AddMessage(log, MessageLevel::Error,
                 "The server answered with HTTP status " + IntegerText(status) + "; nothing was loaded.");
      return false;
    case Transfer::Complete:
    case Transfer::LoadEnded:
      break;
  }
  // An empty body goes on as zero bytes and is reported as an empty source.
  return load.Finish(plan, log);
}

bool ReadPlanSource(Plan& plan, MessageLog& log, const std::string& source, bool address,
                    const FetchOptions& options) {
  return address ? FetchAddressSource(plan, log, source, options) : ReadFileSource(plan, log, source, options.stop);
}

}  // namespace nerin
