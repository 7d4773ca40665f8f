// node zpl_png.cjs ZPL_FILE WIDTH_MM HEIGHT_MM DOTS_PER_MM PREFIX
// Renders every label of a ZPL file with zpl-renderer-js into PREFIX-N.png (N from 0) and
// prints how many there are.
const fs = require("node:fs");
const [file, w, h, dpmm, prefix] = process.argv.slice(2);
require("zpl-renderer-js")
  .ready.then(async ({ api }) => {
    const labels = await api.zplToBase64MultipleAsync(fs.readFileSync(file, "utf8"), +w, +h, +dpmm);
    labels.forEach((l, i) => fs.writeFileSync(`${prefix}-${i}.png`, Buffer.from(l, "base64")));
    console.log(labels.length);
  })
  .catch((e) => {
    console.error(String(e));
    process.exit(1);
  });
