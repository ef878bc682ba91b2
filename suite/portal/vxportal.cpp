// vxportal: the demo's company portal.
//   vxportal <system database file> [port] [host]
// Serves until it is stopped (SIGINT or SIGTERM).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "suite/portal/portal_service.h"

namespace {
vx::portal::TPortalServer* g_server = nullptr;
extern "C" void OnSignal(int) {
  if (g_server) g_server->Stop();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: vxportal <system database file> [port] [host]\n");
    return 2;
  }
  int port = argc > 2 ? std::atoi(argv[2]) : 8090;
  std::string host = argc > 3 ? argv[3] : "127.0.0.1";
  if (port <= 0 || port > 65535) {
    std::fprintf(stderr, "vxportal: invalid port %s\n", argv[2]);
    return 2;
  }
  try {
    vx::portal::TPortalServer server(argv[1]);
    g_server = &server;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("vxportal: serving %s on http://%s:%d/portal\n", argv[1], host.c_str(), port);
    std::fflush(stdout);
    server.Run(host, port);
    g_server = nullptr;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vxportal: %s\n", e.what());
    return 1;
  }
  return 0;
}
