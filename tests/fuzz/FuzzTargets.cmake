# The fuzz targets and the widget-free libraries each one exercises; read by
# the corpus replay (tests/fuzz) and by the libFuzzer build (bench/fuzz.cmake).
set(VORLAN_FUZZ_TARGETS status chat audio location conversions waverepair)
set(VORLAN_FUZZ_LIBS_status vorlan_monitor_core)
set(VORLAN_FUZZ_LIBS_chat vorlan_chat_core)
set(VORLAN_FUZZ_LIBS_audio vorlan_listen_core)
set(VORLAN_FUZZ_LIBS_location vorlan_archive_core)
set(VORLAN_FUZZ_LIBS_conversions vorlan_settings_core)
set(VORLAN_FUZZ_LIBS_waverepair vorlan_archive_core vorlan_listen_core)
