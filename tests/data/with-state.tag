
[exit 2]
vorn-cli: --state is not available in this version
