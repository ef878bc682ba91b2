# The fuzz targets and the libraries each needs: read by fuzz/ (libFuzzer
# builds) and tests/fuzz/ (corpus replays in the ordinary build).
set(VX_FUZZ_TARGETS registry inifile xml langfile password datetext)
set(VX_FUZZ_DEPS_registry vx_os)
set(VX_FUZZ_DEPS_inifile vx_os)
set(VX_FUZZ_DEPS_xml vx_xml)
set(VX_FUZZ_DEPS_langfile vx_lang)
set(VX_FUZZ_DEPS_password vx_env)
set(VX_FUZZ_DEPS_datetext vx_lib)
