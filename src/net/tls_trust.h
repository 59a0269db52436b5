#pragma once
#include <curl/curl.h>
#include <string>

// Makes an easy handle trust the certificates of `ca_file` on top of the system's store
// (libcurl's own CA options would replace the store). Peer verification itself stays on.
// An empty path changes nothing; a file that cannot be read is logged once per process.
// `ca_file` must outlive the handle.
void trust_ca_file_in_addition(CURL* handle, const std::string& ca_file);
