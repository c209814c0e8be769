#!/usr/bin/env bash
# The wallpaper page's scripts, as the Windows test Wallpaper.HostileTextStaysInsideThePageStrings
# writes them from texts full of quotes, "</script>" and line breaks, parse and run in a real
# script engine (Node.js), and the template picture reaches the page's HTML only escaped. Without
# Node.js the test is skipped (77): the Windows test still checks the exact escaped text.
#   wallpaper_page_scripts_test.sh TESTS_EXE RUNNER...
set -u
if ! command -v node >/dev/null; then
  echo "SKIPPED: no node (Debian's nodejs) to run the page's scripts"
  exit 77
fi
tests=$1
shift
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The scripts are checked even when the Windows test's own checks fail: each side tells its own.
failed=0
if ! LUMAGROVE_PAGE_SCRIPTS=$out "$@" "$tests" \
  --gtest_filter=Wallpaper.HostileTextStaysInsideThePageStrings; then
  echo "FAILED: the Windows test"
  failed=1
fi
scripts=("$out"/script1.js "$out"/script2.js "$out"/script3.js)
for script in "${scripts[@]}"; do
  if [ ! -f "$script" ]; then
    echo "FAILED: the Windows test wrote no $(basename "$script")"
    exit 1
  fi
  if ! node --check "$script"; then
    echo "FAILED: $(basename "$script") does not parse"
    exit 1
  fi
done
# The three blocks run in one global scope, as the page's browser runs them, with the page's
# elements and timers stood in for; init() writes the template picture first.
node - "${scripts[@]}" <<'JS' || failed=1
const vm = require('vm');
const fs = require('fs');
const written = [];
const filter = { apply() {}, play() {} };
const page = vm.createContext({
  document: { write: (text) => written.push(text) },
  screen: { width: 1024, height: 768 },
  wptext: { style: {} },
  paper: { filters: [filter] },
  setTimeout() {},
  setInterval() {},
});
for (const file of process.argv.slice(2))
  vm.runInContext(fs.readFileSync(file, 'latin1'), page, { filename: file });
const failures = [];
function expect(what, actual, expected) {
  if (actual !== expected)
    failures.push(`${what}: ${JSON.stringify(actual)}, expected ${JSON.stringify(expected)}`);
}
expect('filtertime', page.filtertime, 1.5);
expect('basepath', page.basepath, 'C:/My "Best" Pictures/');
expect('backimage', page.backimage, 'C:/t\'"<img src=x onerror=alert(1)>.jpg');
expect('filelist', JSON.stringify(page.filelist), JSON.stringify([
  'C:/a"quoted".jpg', 'C:/x</script><script>alert(1)</script>.jpg', 'back/slash.jpg',
  'line\r\nbreak.jpg']));
expect('the template picture\'s tag', written[0],
  '<img src="file://C:/t&#39;&quot;&lt;img src=x onerror=alert(1)&gt;.jpg" width=1024 ' +
  'height=768 style="position:absolute;left:0;top:0">');
expect('a picture shown', /^file:\/\//.test(page.paper.src), true);
if (failures.length) {
  console.log('FAILED:\n' + failures.join('\n'));
  process.exit(1);
}
console.log('the page\'s scripts parse and run, every text in its string');
JS
exit $failed
