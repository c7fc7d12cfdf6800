// Ties the site's files into one release, so that no cache pairs one release's page with
// another's module:
//   node release.mjs SITE VERSION PAGE WORKER MODULE FILE...
// writes SITE/index.html from PAGE, whose %MODULE% and %MODULE_INTEGRITY% become the module's
// address (its name with the hash of its bytes) and its SHA-256 for the page to check, and
// SITE/<WORKER's name> from WORKER, whose %RELEASE% becomes VERSION and a hash of every file
// of the release, and %FILES% the list of their addresses. MODULE and every FILE are names
// inside SITE. Same files, same bytes.
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';

const [site, version, pageFile, workerFile, module, ...files] = process.argv.slice(2);

const moduleBytes = readFileSync(join(site, module));
const moduleAddress = `${module}?${createHash('sha256').update(moduleBytes).digest('hex').slice(0, 16)}`;
const page = readFileSync(pageFile, 'utf8')
  .replaceAll('%MODULE_INTEGRITY%', `sha256-${createHash('sha256').update(moduleBytes).digest('base64')}`)
  .replaceAll('%MODULE%', moduleAddress);
writeFileSync(join(site, 'index.html'), page);

// Every file by its name and bytes, in the order of their names.
const release = createHash('sha256');
const names = ['index.html', module, ...files].sort();
for (const name of names) release.update(`${name}\0`).update(readFileSync(join(site, name))).update('\0');
const addresses = names.map((name) => (name === module ? moduleAddress : name));
const worker = readFileSync(workerFile, 'utf8')
  .replaceAll('%RELEASE%', `${version}-${release.digest('hex').slice(0, 16)}`)
  .replaceAll('%FILES%', JSON.stringify(addresses));
writeFileSync(join(site, basename(workerFile)), worker);
