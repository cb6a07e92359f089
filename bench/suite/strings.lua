local n = tonumber(arg[1])
local s = "abcde"
local total = 0
for i = 1, n do
  local k = i % 10 + 1
  s = s .. string.sub("abcdefghij", k, k)
  total = total + (string.find(string.sub(s, #s - 4, #s), "j", 1, true) or 0)
end
print(total + #s)
