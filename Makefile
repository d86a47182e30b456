# The two commands a newcomer needs; each installs what is missing first.
.PHONY: run test clean

test:
	@bash scripts/test.sh

run:
	@bash scripts/run.sh

clean:
	rm -rf build
