# The two commands:
#   make demo   the main job: builds the sample database with zeldict and runs the sales form
#               with the data control under Wine, saving screenshots in build/demo
#   make test   installs what is missing, builds every preset, runs every test (natively and
#               under Wine) and ends with one line "N passed, N failed"
PRESETS := native native-release win64 win32
SUMMARY := build/test-summary.txt

.PHONY: demo test deps build $(PRESETS) native-tests wine-tests

demo: deps native win64
	@scripts/demo.sh

test: deps build
	@rm -f $(SUMMARY)
	@scripts/run-tests.sh build/native $(SUMMARY)
	@scripts/run-tests.sh build/win64 $(SUMMARY) --wine
	@awk '{ p += $$1; f += $$2 } END { printf "%d passed, %d failed\n", p, f; exit (f > 0 || NR == 0) }' $(SUMMARY)

deps:
	@scripts/install-deps.sh

build: $(PRESETS)

$(PRESETS):
	@cmake --preset $@ >/dev/null
	@cmake --build --preset $@
