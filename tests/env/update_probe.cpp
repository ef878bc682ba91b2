// A library whose releases tell their version: the file that the self-update
// tests bring up to date and load.
extern "C" __attribute__((visibility("default"))) int UpdateProbeVersion() {
  return VX_PROBE_VERSION;
}
