#include "fetch_server_view.h"

#include <cstdio>
#include <cstdlib>

#include "support/test_support.h"

bool FetchServerView::Open(const std::string& dir) {
  log_ = dir + "\\requests.log";
  std::string ports = ReadWholeFile(dir + "\\ports");
  return std::sscanf(ports.c_str(), "%d %d", &port_, &refused_port_) == 2;
}

size_t FetchServerView::Mark() const { return ReadWholeFile(log_).size(); }

std::vector<ServerEvent> FetchServerView::EventsSince(size_t mark) const {
  std::string all = ReadWholeFile(log_);
  std::vector<ServerEvent> out;
  size_t at = mark;
  while (at < all.size()) {
    size_t end = all.find('\n', at);
    if (end == std::string::npos) break;  // a line still being written
    std::string line = all.substr(at, end - at);
    at = end + 1;
    size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
    if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
    out.push_back({std::atoi(line.substr(0, tab1).c_str()), line.substr(tab1 + 1, tab2 - tab1 - 1),
                   line.substr(tab2 + 1)});
  }
  return out;
}

std::vector<SeenRequest> FetchServerView::Requests(const std::vector<ServerEvent>& events) {
  std::vector<SeenRequest> out;
  for (const ServerEvent& e : events) {
    if (e.event == "request") out.push_back({e.connection, e.data, {}});
    if (e.event == "header") {
      for (auto it = out.rbegin(); it != out.rend(); ++it) {
        if (it->connection == e.connection) {
          it->headers.push_back(e.data);
          break;
        }
      }
    }
  }
  return out;
}

int FetchServerView::Connections(const std::vector<ServerEvent>& events) {
  int n = 0;
  for (const ServerEvent& e : events) n += e.event == "accept";
  return n;
}

std::string ServerPattern(size_t n) {
  std::string out(n, '\0');
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>((i * 7 + i / 251) % 256);
  return out;
}

FetchServerView& ServerNamedBy(const char* variable) {
  static FetchServerView view;
  static bool opened = false;
  if (!opened) {
    const char* dir = std::getenv(variable);
    opened = dir && view.Open(dir);
  }
  return view;
}
