#pragma once
#include <curl/curl.h>
#include <string>

// Makes an easy handle trust the system's certificates and those of `ca_file` on top
// (libcurl's own CA options would replace the system store). The store is built once per
// CA file for the whole process and shared by every connection: loading the system's
// bundle costs tens of milliseconds, far more than a request to the service. Peer
// verification itself stays on. An empty path trusts the system store alone; a file that
// cannot be read is logged once per process. `ca_file` must outlive the handle.
void trust_ca_file_in_addition(CURL* handle, const std::string& ca_file);

// Builds the store for `ca_file` now (it takes tens of milliseconds), so the first request
// does not wait for it. Any thread.
void prepare_trust_store(const std::string& ca_file);
