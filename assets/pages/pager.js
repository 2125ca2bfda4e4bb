<script type="text/javascript">
// Pages the rows of "tableqvd" in place; the generator fills in the rows per screen.
var theTable = document.getElementById("tableqvd");
var rows = theTable.rows.length;
var size = ROWS_PER_SCREEN;
var page = 1;
var pageCount = Math.ceil(rows / size);
var labels = {
  spanFirst: ["首页", "first"],
  spanPre: ["上一页", "pre"],
  spanNext: ["下一页", "next"],
  spanLast: ["尾页", "last"]
};

function active(id) {
  var label = labels[id];
  document.getElementById(id).innerHTML = '<a href="javascript:' + label[1] + '();">' + label[0] + '</a>';
}
function plain(id) {
  document.getElementById(id).innerHTML = labels[id][0];
}
function showPageNum() {
  document.getElementById("spanPageNum").innerHTML = page;
}
// Hides every row, then shows rows from..to-1 (clipped to the table).
function showRows(from, to) {
  var i;
  for (i = 0; i < rows; i++) theTable.rows[i].style.display = "none";
  for (i = from; i < to && i < rows; i++) theTable.rows[i].style.display = "";
}

function next() {
  var to = Math.min(size * (page + 1), rows);
  showRows(size * page, to);
  page++;
  if (to == rows) { plain("spanNext"); plain("spanLast"); }
  showPageNum();
  active("spanPre");
  active("spanFirst");
}
function pre() {
  page--;
  var from = size * (page - 1);
  showRows(from, Math.min(size * page, rows));
  if (from == 0) { plain("spanPre"); plain("spanFirst"); }
  showPageNum();
  active("spanNext");
  active("spanLast");
}
// Leaves "首页" as it was, even when it is still a link on screen 1.
function first() {
  page = 1;
  showRows(0, size);
  showPageNum();
  plain("spanPre");
  active("spanNext");
  active("spanLast");
}
// Leaves "尾页" as it was.
function last() {
  page = pageCount;
  showRows(size * (page - 1), rows);
  showPageNum();
  active("spanPre");
  plain("spanNext");
  active("spanFirst");
}

// The markup shows every row; keep the first screen only.
for (var i = size; i < rows; i++) theTable.rows[i].style.display = "none";
document.getElementById("spanTotalPage").innerHTML = pageCount;
showPageNum();
active("spanNext");
active("spanLast");
</script>
