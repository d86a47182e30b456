# The two commands a newcomer needs; each installs what is missing first.
.PHONY: run test bench dist fuzz soak clean

test:
	@bash scripts/test.sh

run:
	@bash scripts/run.sh

bench:
	@bash scripts/bench.sh

dist:
	@bash scripts/dist.sh

fuzz:
	@bash scripts/fuzz.sh

soak:
	@bash scripts/soak.sh

clean:
	rm -rf build dist
