local n = tonumber(arg[1])
local rows = {}
for i = 1, n do rows[i] = {i * 7919 % 1000003, i} end
table.sort(rows, function(x, y) return x[1] < y[1] end)
print(rows[1][1] + rows[n][1] + rows[1][2])
