# The whole set-up: `make run` starts the editor, `make test` runs every test headless.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
SAN_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
WIN_BUILD ?= build-windows
FUZZ_SECONDS ?= 60
VERSION = $(shell awk '/^project/ { for (i = 1; i < NF; i++) if ($$i == "VERSION") print $$(i + 1) }' CMakeLists.txt)
LUPDATE ?= /usr/lib/qt6/bin/lupdate
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

.PHONY: all deps build run test test-sanitize fuzz format format-check bench package translations \
	windows test-windows package-windows clean

all: build

deps:
	@./tools/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/app && ./tavrix-editor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE bench -j $(JOBS)

# The Debian package of the installed layout, checked: $(BUILD)/tavrix-editor_<version>_<arch>.deb
package: build
	rm -f $(BUILD)/tavrix-editor_*.deb
	cd $(BUILD) && cpack
	./tools/check-package.sh $(BUILD)/tavrix-editor_*.deb

bench: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L bench -V

test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTAVRIX_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -LE bench -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS on a copy of its seed corpus; any finding fails (the input is
# left in $(FUZZ_BUILD)/tests/fuzz as crash-*). The targets keep their application and controls to
# the end, so leaks are not looked for: libFuzzer's own look would run many inputs twice. A 64 MB
# quarantine still holds freed memory for many inputs and costs far fewer page faults than the
# default 256 MB. Recording each allocation's stack and filling each new block cost a fifth of
# the time of the targets that decode into the edit control; replay a finding with the defaults
# to see where its memory came from. A stream's codes, pages and line ends are a few bytes each,
# and decoding costs the edit control time in proportion to the length: the stream target stops
# at 512 bytes, which keeps it near the speed of the others.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTAVRIX_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	cd $(FUZZ_BUILD)/tests/fuzz && for entry in settings:4096 brf:4096 stream:512 paste:4096 markup:4096 telnet:4096 displays:4096; do \
	  t=$${entry%%:*}; \
	  rm -rf corpus-$$t && mkdir corpus-$$t && echo "fuzz_$$t: $(FUZZ_SECONDS) s" && \
	  if ! QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$$PWD/home \
	    ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=64:malloc_context_size=0:max_malloc_fill_size=0 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    ./fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=$${entry##*:} -detect_leaks=0 \
	    -print_final_stats=1 corpus-$$t $(CURDIR)/tests/fuzz/corpus/$$t >fuzz-$$t.log 2>&1; then \
	    tail -n 60 fuzz-$$t.log; exit 1; fi; \
	  grep -E 'number_of_executed_units|average_exec_per_sec|peak_rss' fuzz-$$t.log; \
	done

# The Windows program, cross-built with MinGW-w64 against the Qt for Windows in ../shared/windows
# (or TAVRIX_WINDOWS_QT), and its test programs; leaves $(WIN_BUILD)/Tavrix Editor, the program's
# folder as installed. Without that Qt it says how to build one (README, "Windows").
windows:
	@./tools/install-deps.sh windows
	JOBS=$(JOBS) ./tools/build-windows.sh $(WIN_BUILD)

# The Windows test suite under wine, offscreen, the device tests on null-modem pairs of COM ports.
test-windows: windows
	./tools/test-windows.sh $(WIN_BUILD)

# The installer from the program's folder, checked by a silent install and uninstall under wine:
# $(WIN_BUILD)/tavrix-editor-<version>-setup.exe
package-windows: windows
	./tools/package-windows.sh $(WIN_BUILD) $(VERSION)

# The English translation brought up to date with the sources: a new text arrives unfinished (the
# test tst_translation fails until it is translated), a text the code dropped leaves.
translations: deps
	$(LUPDATE) -locations none -no-obsolete -source-language ru -target-language en -I . \
	  app cli device editor fonts settings -ts translations/tavrix_en.ts

format:
	clang-format -i $(FORMAT_FILES)

format-check: deps
	clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)
