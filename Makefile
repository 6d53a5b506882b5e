# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
DATA_DIR ?=

.PHONY: run test deps configure build bench package clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/vantrel-planner $(if $(DATA_DIR),--data-dir $(DATA_DIR))

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 300

# A Debian package of the program in the build folder: build/vantrel-planner_*.deb.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The start-up bench needs an X server of its own.
bench: configure
	cmake --build $(BUILD_DIR) --target benchmarks
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	  case $$b in *bench_startup) xvfb-run -a -s "-screen 0 1280x1024x24" $$b ;; *) $$b ;; esac; done

clean:
	rm -rf $(BUILD_DIR)
